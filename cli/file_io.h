// Whole files in and out. A regular file is replaced at once (a failure never leaves half a file),
// through any symbolic link to it and with its permissions.
#pragma once

#include <iosfwd>
#include <string>

// Reads the whole file at path. False, with "cannot read PATH: reason" (the system's text) in
// error, when it cannot.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// ReadWholeFile, or all of in when path is "-".
bool ReadInputFile(const std::string& path, std::istream& in, std::string& text, std::string& error);

// Writes text to path. A regular file (or a new one) is written to a temporary file beside it and
// renamed over it, keeping its permission bits; a link is followed to the file it names; a device
// or pipe is written in place. A file the user may not write is refused even where the system would
// allow it (as for root). False, with a message in error, when it failed.
bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error);

// Whether path is "-" or names the file the process's standard output is (as /dev/stdout does).
bool IsStandardOutput(const std::string& path);

// text written to out when path is standard output (see above), else WriteWholeFile.
bool WriteOutputFile(const std::string& path, const std::string& text, std::ostream& out, std::string& error);
