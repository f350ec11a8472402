#pragma once

struct Th;

// Negative when a comes before b for the sort key (0 name, 1 extension,
// 2 file size, 3 file date, 4 picture area, 5 unsorted) and direction
// (1 descending); equal keys order by page.
int CompareThumbnails(const Th& a, const Th& b, int sortOrder, int descending);
