// The text of the end credits: the game's own content, added to the credits at start-up.
#pragma once

class CreditsManager;

// Appends the 88 credits lines in order: headings bold, names and the closing note plain,
// remarks italic, and runs of blank lines between the sections.
void AddCreditsLines(CreditsManager& credits);
