#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// The folder part of a path: the text before its last separator (a backslash, and on
// systems other than Windows also a slash). Empty text for an empty path, for a path that
// begins with the character of code 0, and for a path without a separator.
std::string GetDirectory(const std::string& path);

// Opens a regular file for reading in binary mode; nullptr for an empty name, a missing file,
// no access, a folder, and anything else that is not a regular file (a FIFO, a device node, a
// socket). It never blocks: a FIFO without a writer is refused at once.
std::FILE* OpenForReading(const std::filesystem::path& fname);

// Why OpenForReading refuses a name: nothing there (or an empty name), no access to it or to
// a folder on its way, a folder, or something else that is not a regular file.
enum class Unopenable
{
    Missing,
    NoPermission,
    Folder,
    NotRegularFile,
};
Unopenable WhyUnopenable(const std::filesystem::path& fname);
// The reason in words: "cannot be opened for reading (missing)" and the like.
const char* UnopenableText(Unopenable why);

// True if the file can be opened for reading by OpenForReading (and is closed again at once).
bool FileExists(const std::filesystem::path& fname);
