// Where the game reads its data and keeps its saves. The game names its files "data/..." and
// "save/..."; Resolve turns such a name into the path that is opened. $KELVANE_DATA_DIR names
// the data when set; else, started from a directory holding the game's data/ (a checkout, the
// tests: a data/ with the marker file the content generator writes) both stay in the working
// directory; else the installed game reads the share/kelvane directory beside its executable.
// Saves stay beside a working directory's data only when the game reads that data; else they
// go to the user's XDG data directory.
// Depends on nothing but the standard library and POSIX.
#pragma once

#include <string>
#include <vector>

namespace GamePaths {

// What a search for the game's data found.
struct DataSearch {
    std::string directory;              // the data directory; empty when none was found
    std::vector<std::string> searched;  // every place looked at, in order, as a player reads it
};

// The file at the root of a game data tree that marks it as the game's (the content generator
// writes it; an installation keeps it): a data/ folder without it is somebody else's.
extern const char* const kDataMarker;
// The marker's text: the game's name and the version of the data's layout.
std::string DataMarkerText();
// The value of a "key = value" line of the data's marker (the generator notes there, say,
// "source world = DIR", where the world files it copied came from); empty when the marker or
// the line is missing.
std::string DataMarkerValue(const std::string& key);

// Looks for the data directory, first found wins: the directory $KELVANE_DATA_DIR names, then
// "data" in the working directory when it holds the marker, then
// <executableDirectory>/../share/kelvane.
DataSearch FindData(const std::string& executableDirectory);
DataSearch FindData();

// The directory holding the running executable; empty when the system does not say.
std::string ExecutableDirectory();

// Where saves are kept: "save" when the game reads the working directory's data/ (it holds
// the marker and $KELVANE_DATA_DIR names no directory); else
// $XDG_DATA_HOME/kelvane/save (an absolute $XDG_DATA_HOME only), else
// $HOME/.local/share/kelvane/save.
std::string SaveDirectory();

// Creates the save directory and its missing parents. False, with the directory and the
// system's reason in `error` (when given), if it does not exist afterwards.
bool MakeSaveDirectory(std::string* error);

// The folder of a data tree that holds each language's own versions of its files (the pictures
// that carry text): "<data>/lang/<language>/<the file's name below data/>".
extern const char* const kLanguageFolder;
// From now on a data file that has a version of `language`'s own is read from there (the
// catalogue's language: "de", "qps"); "" (English) reads the data's own files. A language that
// is not a plain name (a slash, "..") counts as "". Any thread may resolve meanwhile.
void SetLanguage(const std::string& language);

// The path to open for a file the game names: "data" and "save" and the names below them
// move to the directories above; in a checkout and for every other path the name is returned
// unchanged. When no data directory exists, data names stay unchanged too. A data file of
// which the language set by SetLanguage has a version of its own resolves to that version.
std::string Resolve(const std::string& path);

// The text of the error that stops the game when FindData found nothing: the first line says
// so; one line per place looked at follows.
std::string MissingDataMessage(const DataSearch& search);
// What a person can do about it, for the error-information line.
extern const char* const kHowToGetData;

}  // namespace GamePaths
