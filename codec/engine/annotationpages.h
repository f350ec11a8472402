#pragma once
// The page operations on an annotation file (annotationformat.h). Files are
// written through the program's own-file writer (AnnoHost), which puts a
// complete temporary file in place by a rename and never writes through a
// symbolic link. A file that exists but cannot be read as an annotation
// file is never written over: the operation fails and the file stays.

#include <vector>

#include "annotationformat.h"
#include "crde2001.h"

namespace annotationpages {

enum class FileState { Missing, Damaged, Read };

FileState read(const char* path, annotationformat::Pages& pages);
// The objects of page; false when the file is missing or damaged.
bool load(const char* path, int page, std::vector<annotation::Object>& objects);
// Page becomes objects (an empty list removes the page); a missing file is
// made.
bool save(const char* path, int page, const std::vector<annotation::Object>& objects);
// The pages from page on move up by one, and objects become page.
bool insert(const char* path, int page, const std::vector<annotation::Object>& objects);
// Page goes; the pages after it move down by one. A missing file fails.
bool remove(const char* path, int page);

// The writer used for annotation files; null until the program sets one.
void setHost(const AnnoHost* host);
const AnnoHost* host();

}  // namespace annotationpages
