#pragma once
// Section "DBFiles": one value per thumbnail database file ever written.

class Settings;

class DatabaseList {
public:
    // Deletes every listed file that exists (archive-only first) and erases the section.
    static void deleteAll(Settings& store);
    // Drops every value whose file (trimmed of blanks) is missing.
    static void prune(Settings& store);
};
