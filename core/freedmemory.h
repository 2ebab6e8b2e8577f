#pragma once

namespace orv {

// Lets the C library keep freed memory for reuse instead of handing it back to the system at once.
// Saving and loading a map's bookmarks and links build and free buffers of a megabyte or more each
// time; with the library's defaults such buffers come back as fresh pages that the system must zero
// and map in again, about a fifth of a save's time with 10,000 bookmarks. Blocks below 4 MiB are then taken
// from the heap, and up to 16 MiB of it stays with the program once freed; pictures, far larger, are
// still mapped apart and go back to the system whole when let go. Call once at start, before other
// threads run.
void ReuseFreedMemory();

}  // namespace orv
