// The four COM classes called directly: the IUnknown rules, the file list
// the data object hands out, its one format, and the drop source's answers.
// OLE's clipboard then reads the data object as any receiver would.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "engine/common/bytes.h"
#include "win32/dragdrop/com_shared.h"
#include "win32/dragdrop/data_object.h"
#include "win32/dragdrop/drop_source.h"
#include "win32/dragdrop/enum_format_etc.h"
#include "win32/dragdrop/raw_drop_target.h"

namespace vk::win32 {
namespace {

class ComObjectsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    static void TearDownTestSuite() { OleUninitialize(); }
    void TearDown() override { EXPECT_EQ(LiveComObjects(), 0) << "a reference was not given back"; }
};

// Two paths, each ended by a zero, and the list's final zero.
const char kList[] = "C:\\TEMP\\VK$1\\A.BIN\0C:\\TEMP\\VK$1\\LONGER.TXT\0";
constexpr size_t kListLength = sizeof kList;  // the literal's own zero is the final one

DataObject* NewDataObject() {
    auto* data = new DataObject;
    data->AddRef();
    EXPECT_TRUE(data->SetFileList(kList, kListLength));
    return data;
}

struct ObjectKind {
    const char* name;
    std::function<IUnknown*()> make;  // one reference held by the caller
    IID own;
};

template <class T>
IUnknown* Make() {
    auto* object = new T;
    object->AddRef();
    return object;
}

const ObjectKind kKinds[] = {
    {"CEnumFormatEtc", Make<CEnumFormatEtc>, IID_IEnumFORMATETC},
    {"DataObject", Make<DataObject>, IID_IDataObject},
    {"DropSource", Make<DropSource>, IID_IDropSource},
    {"RawDropTarget", Make<RawDropTarget>, IID_IDropTarget},
};

TEST_F(ComObjectsTest, QueryInterfaceAnswersOwnInterfaceAndIUnknownOnly) {
    for (const ObjectKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        IUnknown* object = kind.make();
        void* result = nullptr;
        ASSERT_EQ(object->QueryInterface(kind.own, &result), S_OK);
        EXPECT_EQ(result, static_cast<void*>(object));
        ASSERT_EQ(object->QueryInterface(IID_IUnknown, &result), S_OK);
        EXPECT_EQ(result, static_cast<void*>(object));
        // Each answer added a reference: three to give back now.
        EXPECT_EQ(object->Release(), 2u);
        EXPECT_EQ(object->Release(), 1u);

        result = reinterpret_cast<void*>(0x1234);
        EXPECT_EQ(object->QueryInterface(IID_IStream, &result), E_NOINTERFACE);
        EXPECT_EQ(result, nullptr) << "a refused interface clears the result";
        for (const ObjectKind& other : kKinds) {
            if (!IsEqualIID(other.own, kind.own)) {
                result = reinterpret_cast<void*>(0x1234);
                EXPECT_EQ(object->QueryInterface(other.own, &result), E_NOINTERFACE) << other.name;
                EXPECT_EQ(result, nullptr);
            }
        }
        EXPECT_EQ(object->QueryInterface(kind.own, nullptr), E_POINTER);
        EXPECT_EQ(object->Release(), 0u);
    }
}

TEST_F(ComObjectsTest, TheLastReleaseFreesTheObject) {
    for (const ObjectKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        IUnknown* object = kind.make();
        EXPECT_EQ(LiveComObjects(), 1);
        EXPECT_EQ(object->AddRef(), 2u);
        EXPECT_EQ(object->Release(), 1u);
        EXPECT_EQ(LiveComObjects(), 1) << "still referenced";
        EXPECT_EQ(object->Release(), 0u);
        EXPECT_EQ(LiveComObjects(), 0) << "freed at zero";
    }
}

TEST_F(ComObjectsTest, AComRefHoldsOneReferenceAndGivesItBackOnce) {
    {
        ComRef<DropSource> first(new DropSource);
        EXPECT_EQ(LiveComObjects(), 1);
        EXPECT_EQ(first->AddRef(), 2u) << "the owner's reference is the only other one";
        EXPECT_EQ(first->Release(), 1u);
        ComRef<DropSource> second(std::move(first));
        EXPECT_FALSE(first);
        first = std::move(second);
        EXPECT_EQ(LiveComObjects(), 1) << "moving hands the one reference on";
        ComRef<DropSource> empty(nullptr);
        EXPECT_FALSE(empty);
    }
    EXPECT_EQ(LiveComObjects(), 0) << "freed with its owner";
    ComRef<DataObject> data(new DataObject);
    data.Reset();
    EXPECT_EQ(LiveComObjects(), 0) << "freed by Reset";
}

TEST_F(ComObjectsTest, AnOwnedMediumFreesTheBlockItWasGiven) {
    const ComRef<DataObject> data(NewDataObject());
    data->Release();  // the ComRef's reference is the one left
    FORMATETC format = FileListFormat();
    HGLOBAL block = nullptr;
    {
        OwnedMedium medium;
        ASSERT_EQ(medium.GetFrom(data.get(), format), S_OK);
        block = medium->hGlobal;
        EXPECT_GE(GlobalSize(block), kDropFilesHeaderSize + kListLength);
    }
    EXPECT_EQ(GlobalSize(block), 0u) << "given back with its owner";
    FORMATETC text = format;
    text.cfFormat = CF_TEXT;
    OwnedMedium refused;
    EXPECT_EQ(refused.GetFrom(data.get(), text), DV_E_FORMATETC);
}

TEST_F(ComObjectsTest, GetDataHandsEachReceiverAFreshDropFilesBlockOfItsOwn) {
    DataObject* data = NewDataObject();
    FORMATETC format = FileListFormat();
    STGMEDIUM first = {}, second = {};
    ASSERT_EQ(data->GetData(&format, &first), S_OK);
    ASSERT_EQ(data->GetData(&format, &second), S_OK);
    EXPECT_EQ(first.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(first.pUnkForRelease, nullptr) << "the receiver frees the block itself";
    EXPECT_NE(first.hGlobal, second.hGlobal) << "every GetData gives a new block";
    ReleaseStgMedium(&second);
    // The block outlives the data object: it belongs to the receiver.
    EXPECT_EQ(data->Release(), 0u);

    ASSERT_GE(GlobalSize(first.hGlobal), kDropFilesHeaderSize + kListLength);
    const auto* block = static_cast<const uint8_t*>(GlobalLock(first.hGlobal));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(Load32(block + kDropFilesListOffset), 20u);
    EXPECT_EQ(Load32(block + kDropFilesPointX), 0u);
    EXPECT_EQ(Load32(block + kDropFilesPointY), 0u);
    EXPECT_EQ(Load32(block + kDropFilesNonClient), 0u);
    EXPECT_EQ(Load32(block + kDropFilesWide), 0u) << "ANSI names";
    EXPECT_EQ(std::memcmp(block + kDropFilesHeaderSize, kList, kListLength), 0) << "paths and the final zero";
    GlobalUnlock(first.hGlobal);

    // The platform's reader agrees.
    auto drop = static_cast<HDROP>(first.hGlobal);
    ASSERT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    char name[MAX_PATH];
    DragQueryFileA(drop, 1, name, sizeof name);
    EXPECT_STREQ(name, "C:\\TEMP\\VK$1\\LONGER.TXT");
    ReleaseStgMedium(&first);
}

TEST_F(ComObjectsTest, OnlyTheFileListFormatIsOffered) {
    struct Case {
        const char* name;
        CLIPFORMAT format;
        DWORD aspect;
        LONG index;
        DWORD media;
        bool accepted;
    } const cases[] = {
        {"the file list", CF_HDROP, DVASPECT_CONTENT, -1, TYMED_HGLOBAL, true},
        {"index not examined", CF_HDROP, DVASPECT_CONTENT, 5, TYMED_HGLOBAL, true},
        {"content among aspects", CF_HDROP, DVASPECT_CONTENT | DVASPECT_THUMBNAIL, -1, TYMED_HGLOBAL, true},
        {"memory among media", CF_HDROP, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM, true},
        {"text", CF_TEXT, DVASPECT_CONTENT, -1, TYMED_HGLOBAL, false},
        {"icon aspect", CF_HDROP, DVASPECT_ICON, -1, TYMED_HGLOBAL, false},
        {"stream medium", CF_HDROP, DVASPECT_CONTENT, -1, TYMED_ISTREAM, false},
    };
    DataObject* data = NewDataObject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FORMATETC format = {c.format, nullptr, c.aspect, c.index, c.media};
        const HRESULT want = c.accepted ? S_OK : DV_E_FORMATETC;
        EXPECT_EQ(data->QueryGetData(&format), want);
        STGMEDIUM medium = {};
        EXPECT_EQ(data->GetData(&format, &medium), want);
        if (c.accepted) {
            ReleaseStgMedium(&medium);
        }
    }
    data->Release();
}

TEST_F(ComObjectsTest, TheEnumeratorYieldsTheOneFormatOnce) {
    DataObject* data = NewDataObject();
    for (DWORD direction : {DATADIR_GET, DATADIR_SET}) {
        IEnumFORMATETC* formats = nullptr;
        ASSERT_EQ(data->EnumFormatEtc(direction, &formats), S_OK);
        FORMATETC got[3] = {};
        ULONG fetched = 99;
        EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);
        EXPECT_EQ(fetched, 1u);
        EXPECT_EQ(got[0].cfFormat, CF_HDROP);
        EXPECT_EQ(got[0].ptd, nullptr);
        EXPECT_EQ(got[0].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
        EXPECT_EQ(got[0].lindex, -1);
        EXPECT_EQ(got[0].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
        EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE) << "done after one";
        EXPECT_EQ(fetched, 0u);
        EXPECT_EQ(formats->Reset(), S_OK);
        EXPECT_EQ(formats->Next(3, got, &fetched), S_FALSE) << "fewer than asked for";
        EXPECT_EQ(fetched, 1u);
        EXPECT_EQ(formats->Next(1, nullptr, &fetched), E_POINTER);
        EXPECT_EQ(formats->Skip(1), E_NOTIMPL);
        IEnumFORMATETC* clone = reinterpret_cast<IEnumFORMATETC*>(0x1234);
        EXPECT_EQ(formats->Clone(&clone), E_NOTIMPL);
        EXPECT_EQ(clone, nullptr);
        EXPECT_EQ(formats->Release(), 0u);
    }
    data->Release();
}

TEST_F(ComObjectsTest, TheDataObjectDoesNotImplementTheRest) {
    DataObject* data = NewDataObject();
    FORMATETC format = FileListFormat();
    FORMATETC canonical = {};
    STGMEDIUM medium = {};
    DWORD connection = 0;
    IEnumSTATDATA* advises = nullptr;
    EXPECT_EQ(data->GetDataHere(&format, &medium), E_NOTIMPL);
    EXPECT_EQ(data->GetCanonicalFormatEtc(&format, &canonical), E_NOTIMPL);
    EXPECT_EQ(data->SetData(&format, &medium, FALSE), E_NOTIMPL);
    EXPECT_EQ(data->DAdvise(&format, 0, nullptr, &connection), E_NOTIMPL);
    EXPECT_EQ(data->DUnadvise(connection), E_NOTIMPL);
    EXPECT_EQ(data->EnumDAdvise(&advises), E_NOTIMPL);
    data->Release();
}

TEST_F(ComObjectsTest, TheDropSourceDropsOnReleaseAndCancelsOnEscape) {
    struct Case {
        const char* name;
        BOOL escape;
        DWORD keys;
        HRESULT want;
    } const cases[] = {
        {"button held", FALSE, MK_LBUTTON, S_OK},
        {"button held with Ctrl", FALSE, MK_LBUTTON | MK_CONTROL, S_OK},
        {"button let go", FALSE, 0, DRAGDROP_S_DROP},
        {"only the right button", FALSE, MK_RBUTTON, DRAGDROP_S_DROP},
        {"Escape while held", TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {"Escape after letting go", TRUE, 0, DRAGDROP_S_CANCEL},
    };
    auto* source = new DropSource;
    source->AddRef();
    for (const Case& c : cases) {
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.want) << c.name;
    }
    for (DWORD effect : {DROPEFFECT_NONE, DROPEFFECT_COPY, DROPEFFECT_MOVE}) {
        EXPECT_EQ(source->GiveFeedback(effect), DRAGDROP_S_USEDEFAULTCURSORS);
    }
    source->Release();
}

// OLE's clipboard lists the formats through the enumerator and renders
// them through GetData, as a drop receiver in another program would.
TEST_F(ComObjectsTest, OleClipboardReadsTheFileListThroughTheEnumerator) {
    DataObject* data = NewDataObject();
    ASSERT_EQ(OleSetClipboard(data), S_OK);
    data->Release();  // the clipboard holds its own reference now
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    char name[MAX_PATH];
    DragQueryFileA(drop, 0, name, sizeof name);
    EXPECT_STREQ(name, "C:\\TEMP\\VK$1\\A.BIN");
    CloseClipboard();
    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
}

}  // namespace
}  // namespace vk::win32
