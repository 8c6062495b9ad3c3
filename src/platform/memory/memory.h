// How the process keeps the memory it frees.
#pragma once

namespace platform {

// The game allocates and frees buffers of a few megabytes all the time: decoded pictures, the
// textures' copies of them, film frames. By default the C library maps each such buffer fresh
// from the system and gives it back when it is freed, so every new one is paid for again page
// by page as it is first written (a picture's worth costs about 10 ms on a virtual machine).
// This keeps them in the heap instead, and freed memory there mapped for the next buffer.
// Call it once, early; it changes nothing the game draws or does.
void KeepFreedMemoryForReuse();

}  // namespace platform
