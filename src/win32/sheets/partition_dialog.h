// The Choose partition dialog: the partitions of a partitioned disk-image in
// a report list (number, size, file system, label), one of which is opened.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fat/ops/partition_info.h"

namespace vk::win32 {

// The dialog's working record: what it lists and, after OK, what was chosen.
struct PartitionChoice {
    std::string imageName;                    // shown in the prompt above the list
    std::vector<PartitionSummary> partitions;
    uint32_t preselect = 0;                   // the partition selected at first; 0: the first usable one
    uint32_t chosen = 0;                      // after OK: the selected partition's number
};

// The four cells of a partition's row: number, size, file system, label.
struct PartitionRow {
    std::string number;
    std::string size;
    std::string fileSystem;
    std::string label;
};
PartitionRow PartitionRowTexts(const PartitionSummary& partition);

// The row selected when the dialog opens: that of `preselect`, or else the
// first partition whose volume could be read, or else the first. -1 for an
// empty list.
int PreselectedRow(const std::vector<PartitionSummary>& partitions, uint32_t preselect);

INT_PTR CALLBACK PartitionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OnInitPartitionDialog(HWND dialog, PartitionChoice& choice);
// OK is enabled while a row is selected.
void UpdatePartitionOk(HWND dialog);
// OK: the selected row's partition into the record; false with none selected.
bool OnPartitionOk(HWND dialog);

// Runs the dialog over `owner`. The chosen partition's number, or 0 when it
// was cancelled or could not be shown.
uint32_t RunPartitionDialog(HWND owner, PartitionChoice& choice);

}  // namespace vk::win32
