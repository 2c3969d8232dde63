// The 25 known add-ons: how each is found below the base folder and which files
// each season copies or renames. Every add-on is one row of plain data; the apply
// engine is the one interpreter of the rows.
#pragma once

#include "season.h"

#include <array>
#include <cstddef>
#include <span>

namespace season {

enum class OpKind {
    FileCopy,   // copy source over target, replacing it
    FileRename, // rename source to target, never replacing
    FolderCopy, // copy every file of the source folder into the target folder
};

enum class Condition {
    Always,
    IfMipMaps,   // only when the user chose MipMap textures
    IfNoMipMaps, // only when the user did not
    IfGuardFile, // only when the guard file exists
};

// Paths are relative to the row's install folder, with backslashes, in the letter
// case the add-on's installer uses.
struct SeasonOperation {
    OpKind kind;
    const char* source;
    const char* target;
    Condition condition = Condition::Always;
    const char* guard = nullptr;
};

using OperationList = std::span<const SeasonOperation>;

// Rows with apply position kRunInEntryLoop are left out of the ordered pass over
// detected rows: the engine runs them once per run, right after the generic
// add-ons of the list, when the list is not empty (they do the same whatever the
// entry).
inline constexpr int kRunInEntryLoop = 0;

struct CatalogueRow {
    const char* displayName;
    const char* installFolder;
    const char* probeFile; // below the install folder
    bool hasFlag;
    int applyPosition; // 1..24, or kRunInEntryLoop
    std::array<OperationList, kSeasonCount> seasons;
};

inline constexpr int kRowCount = 25;

// Row n of the catalogue is Catalogue()[n - 1].
std::span<const CatalogueRow, kRowCount> Catalogue();

// The catalogue row numbers (2..25) in the order the apply engine runs them.
std::array<int, kRowCount - 1> ApplyOrder();

// Catalogue row numbers that other code refers to by role.
inline constexpr int kGuardedRow = 1; // the German-word folder row, run once per run
inline constexpr int kQuorrinRow = 2; // has no autumn or spring files
inline constexpr int kMipMapRow = 10; // asks whether to use MipMap textures

} // namespace season
