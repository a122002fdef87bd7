// The catalogue written out: JSON (nlohmann's writer, so that escaping is
// never ours) and CSV, one row per file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "vkdisk/catalog.h"

namespace vk::cli {

// Bytes above 0x7F in names and labels (a code page's letters) become the
// characters U+0080..U+00FF of the same number, so that the text is UTF-8
// and nothing of the name is lost.
std::string Latin1ToUtf8(const std::string& text);

nlohmann::ordered_json FileJson(const CatalogFile& file);
nlohmann::ordered_json RecordJson(const CatalogRecord& record, bool withFiles = true);

// Pretty-printed JSON and a line break to `out`.
void PrintJson(const nlohmann::ordered_json& value, FILE* out = stdout);

// The CSV header, then one row per file of each record (the image's fields
// repeated); a record without files gives one row with the file fields empty.
void PrintCsvHeader(FILE* out = stdout);
void PrintCsvRows(const CatalogRecord& record, FILE* out = stdout);

}  // namespace vk::cli
