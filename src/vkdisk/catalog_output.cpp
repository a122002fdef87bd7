#include "vkdisk/catalog_output.h"

namespace vk::cli {
namespace {

std::string Hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

nlohmann::ordered_json TextOrNull(const std::string& text) {
    return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(Latin1ToUtf8(text));
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

std::string Joined(const std::vector<std::string>& parts, char separator) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : std::string(1, separator)) + part;
    return text;
}

}  // namespace

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

nlohmann::ordered_json FileJson(const CatalogFile& file) {
    nlohmann::ordered_json j;
    j["path"] = Latin1ToUtf8(file.path);
    j["size"] = file.size;
    j["date"] = TextOrNull(file.date);
    j["attributes"] = file.attributes;
    j["crc32"] = file.digested ? nlohmann::ordered_json(Hex8(file.crc32)) : nlohmann::ordered_json();
    j["sha1"] = file.digested ? nlohmann::ordered_json(file.sha1) : nlohmann::ordered_json();
    if (!file.error.empty()) j["error"] = file.error;
    return j;
}

nlohmann::ordered_json RecordJson(const CatalogRecord& r, bool withFiles) {
    nlohmann::ordered_json j;
    j["path"] = r.path;
    if (r.partition != 0) j["partition"] = r.partition;
    j["member"] = TextOrNull(r.member);
    j["container"] = r.container;
    j["size"] = r.size;
    j["readable"] = r.readable;
    if (!r.readable) {
        j["error"] = r.error;
        return j;
    }
    j["format"] = r.format;
    j["boot"] = r.boot;
    j["oem"] = Latin1ToUtf8(r.oem);
    j["label"] = TextOrNull(r.label);
    j["serial"] = TextOrNull(r.serial);
    j["free"] = r.freeBytes;
    j["check"] = {{"sound", r.sound}, {"findings", r.findings}, {"kinds", r.findingKinds}};
    if (withFiles) {
        j["files"] = nlohmann::ordered_json::array();
        for (const CatalogFile& f : r.files) j["files"].push_back(FileJson(f));
    }
    return j;
}

void PrintJson(const nlohmann::ordered_json& value, FILE* out) {
    // Host paths are the one text not made UTF-8 above; a byte that is no
    // UTF-8 there is replaced rather than ending the run.
    const std::string text = value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::fprintf(out, "%s\n", text.c_str());
}

void PrintCsvHeader(FILE* out) {
    std::fputs("path,member,container,size,readable,error,format,boot,oem,label,serial,free,sound,findings,kinds,"
               "file_path,file_size,file_date,file_attributes,file_crc32,file_sha1,file_error\n",
               out);
}

void PrintCsvRows(const CatalogRecord& r, FILE* out) {
    const std::vector<std::string> image = {
        r.path, r.member, r.container, std::to_string(r.size), r.readable ? "true" : "false", r.error, r.format,
        r.boot, Latin1ToUtf8(r.oem), Latin1ToUtf8(r.label), r.serial,
        r.readable ? std::to_string(r.freeBytes) : "", r.readable ? (r.sound ? "true" : "false") : "",
        r.readable ? std::to_string(r.findings) : "", Joined(r.findingKinds, ';')};
    std::string head;
    for (const std::string& field : image) head += CsvField(field) + ",";
    if (r.files.empty()) {
        std::fprintf(out, "%s,,,,,,\n", head.c_str());
        return;
    }
    for (const CatalogFile& f : r.files) {
        std::fprintf(out, "%s%s,%s,%s,%s,%s,%s,%s\n", head.c_str(), CsvField(Latin1ToUtf8(f.path)).c_str(),
                     std::to_string(f.size).c_str(), f.date.c_str(), f.attributes.c_str(),
                     f.digested ? Hex8(f.crc32).c_str() : "", f.digested ? f.sha1.c_str() : "",
                     CsvField(f.error).c_str());
    }
}

}  // namespace vk::cli
