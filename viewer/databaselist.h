#pragma once
// Section "DBFiles": one value per thumbnail database file ever written.

class Settings;

class DatabaseList {
public:
    // Deletes every listed thumbnail database ("KvnThumbalais.db", a regular
    // file, not a link) and erases the section; other listed files stay.
    static void deleteAll(Settings& store);
    // Drops every value whose file is missing.
    static void prune(Settings& store);
};
