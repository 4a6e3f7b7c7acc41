#pragma once

#include <QString>
#include <optional>

// Unpacks a release archive (.tar.gz, through libarchive) into a folder, keeping the executable
// bits. Before anything is written, every entry is checked: absolute paths, ".." components, links
// whose target leaves the folder, and entries other than files, folders and links are refused.
struct ExtractFailure {
    bool cannotOpen = false; // the archive could not be read at all
    QString reason;
};

// The first entry the archive may not hold, or none when all are fine (or the archive cannot be
// read: extracting it then says so).
std::optional<ExtractFailure> checkArchiveEntries(const QString& archivePath);

// Checks the entries, then writes them below `destination` (created when missing). None on success.
std::optional<ExtractFailure> extractArchive(const QString& archivePath, const QString& destination);
