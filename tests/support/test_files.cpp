#include "tests/support/test_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace vk::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path p = fs::temp_directory_path() /
                 ("vktest-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    root_ = p.string();
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    // Read-only files left by a test must not keep their folder alive.
    for (auto& entry : fs::recursive_directory_iterator(root_, ec)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(root_, ec);
}

std::string ScratchDir::Path(const std::string& name) const { return (fs::path(root_) / name).string(); }

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return fs::exists(path); }

void InstallImage(ImageDocument& doc, const Bytes& bytes, uint32_t dataOffset) {
    ASSERT_TRUE(doc.imageBuffer.Allocate(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), doc.imageBuffer.data());
    doc.imageSize = static_cast<uint32_t>(bytes.size());
    doc.dataOffset = dataOffset;
}

Bytes ImageBytes(const ImageDocument& doc) {
    return doc.IsOpen() ? Bytes(doc.imageBuffer.data(), doc.imageBuffer.data() + doc.imageSize) : Bytes();
}

void EngineTest::SetUp() {
    script.Reset();
    window.Reset();
}

void EngineTest::TearDown() {
    // Close without questions: a test that left the document modified says so itself.
    doc.modified = false;
    CloseImage(doc);
    EXPECT_EQ(script.Pending(), 0u) << "expected boxes were not shown";
    EXPECT_EQ(window.waitDepth, 0) << "a wait cursor was left on";
}

}  // namespace vk::test
