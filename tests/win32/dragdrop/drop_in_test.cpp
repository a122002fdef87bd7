// Files dropped on the registered window: data objects made by the shell
// handed to the target as OLE would, and a real OLE drag loop dropping onto
// the window, its own drag included.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/new_image.h"
#include "tests/win32/dragdrop/drag_fixture.h"
#include "win32/dragdrop/com_shared.h"
#include "win32/dragdrop/dragdrop.h"
#include "engine/strings/string_ids.h"

namespace vk::test {
namespace {

using win32::RegisteredDropTarget;

constexpr DWORD kAnyEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class DropInTest : public DragDropTest {
protected:
    void SetUp() override {
        DragDropTest::SetUp();
        win32::RegisterDropTarget(drop.Handle());
        ASSERT_NE(RegisteredDropTarget(), nullptr);
    }

    // DragEnter, DragOver and Drop as OLE calls them; the effects each gave.
    struct Effects {
        DWORD enter = 0, over = 0, drop = 0;
        HRESULT dropResult = E_FAIL;
    };
    Effects DropOnTarget(IDataObject* data) {
        Effects e;
        IDropTarget* target = RegisteredDropTarget();
        const POINT c = drop.Center();
        const POINTL at = {c.x, c.y};
        e.enter = e.over = e.drop = kAnyEffect;
        EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, at, &e.enter), S_OK);
        EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &e.over), S_OK);
        e.dropResult = target->Drop(data, 0, at, &e.drop);
        return e;
    }
    DropWindow drop{&doc};
};

TEST_F(DropInTest, ThreeFilesAreAddedInTheOrderOfTheDrop) {
    const std::vector<std::string> files = {HostFile("ZULU.TXT", 700, 1), HostFile("ALPHA.BIN", 3000, 2),
                                            HostFile("MIKE.DAT", 0, 3)};
    IDataObject* data = ShellDataObject(files);
    ASSERT_NE(data, nullptr) << "the shell made no data object";
    const Effects e = DropOnTarget(data);
    data->Release();
    EXPECT_EQ(e.enter, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(e.over, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(e.dropResult, S_OK);
    EXPECT_EQ(e.drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ZULU.TXT", "ALPHA.BIN", "MIKE.DAT"}));
    ASSERT_EQ(ListEntries().size(), 3u);
    EXPECT_EQ(EntryBytes(doc, ListEntries()[1]), Pattern(3000, 2));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(window.waitDepth, 0) << "the wait cursor ends with the drop";
}

TEST_F(DropInTest, AFailureThatSaysStopEndsTheDrop) {
    const std::vector<std::string> files = {HostFile("ONE.TXT", 10, 1), HostFile("TWO.TXT", 10, 2),
                                            HostFile("THREE.TXT", 10, 3)};
    IDataObject* data = ShellDataObject(files);
    ASSERT_NE(data, nullptr);
    // Gone between the drag's start and the drop: not found, and stop.
    ASSERT_TRUE(DeleteFileA(files[1].c_str()));
    script.SystemError(ERROR_FILE_NOT_FOUND, files[1]);
    DropOnTarget(data);
    data->Release();
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"ONE.TXT"}) << "the third file is not tried";
}

TEST_F(DropInTest, AFailureThatSaysGoOnMovesToTheNextFile) {
    const std::vector<std::string> files = {HostFile("ONE.TXT", 10, 1), HostFile("TWO.TXT", 10, 2),
                                            HostFile("THREE.TXT", 10, 3)};
    AddToImage({files[1]});
    IDataObject* data = ShellDataObject(files);
    ASSERT_NE(data, nullptr);
    // Declining to replace TWO.TXT fails that add but lets the drop go on.
    script.Message(kMsgReplaceEntry, kBoxYesAllNoCancel | kIconQuestion, kIdNo);
    DropOnTarget(data);
    data->Release();
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"TWO.TXT", "ONE.TXT", "THREE.TXT"}));
}

TEST_F(DropInTest, WithoutAnImageTheFirstDroppedFileIsOpened) {
    doc.modified = false;
    ASSERT_TRUE(test::Close(doc));
    ImageDocument maker;
    ASSERT_TRUE(test::Shown(CreateEmptyImage(maker, 0xF9, kBootMsDos6), nullptr));
    ASSERT_TRUE(test::Shown(SaveImageAsPath(maker, dir.Path("FIRST.DSK")), nullptr));
    ASSERT_TRUE(test::Shown(SaveImage(maker), test::TestOwner()));
    const std::string first = dir.Path("FIRST.DSK");
    maker.fileName = dir.Path("SECOND.DSK");
    test::Close(maker);
    CopyFileA(first.c_str(), dir.Path("SECOND.DSK").c_str(), FALSE);
    window.Reset();

    IDataObject* data = ShellDataObject({first, dir.Path("SECOND.DSK")});
    ASSERT_NE(data, nullptr);
    DropOnTarget(data);
    data->Release();
    ASSERT_TRUE(doc.IsOpen());
    EXPECT_EQ(doc.fileName, first);
    EXPECT_FALSE(doc.modified);
    EXPECT_TRUE(ListEntries().empty()) << "the second image is not added to the first";
}

// A data object that offers text alone, as an editor's drag would.
class TextOnly : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *result = this;
            AddRef();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM*) override {
        ++getDataCalls;
        return QueryGetData(f);
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
        return f->cfFormat == CF_TEXT ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    ULONG refs = 1;
    int getDataCalls = 0;
};

TEST_F(DropInTest, DataWithoutAFileListGetsTheNoDropEffect) {
    TextOnly text;
    const Effects e = DropOnTarget(&text);
    EXPECT_EQ(e.enter, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(e.over, static_cast<DWORD>(DROPEFFECT_NONE));
    // Should a drop arrive all the same, its error goes back and nothing is added.
    EXPECT_EQ(e.dropResult, DV_E_FORMATETC);
    EXPECT_EQ(e.drop, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(text.getDataCalls, 1);
    EXPECT_TRUE(ListEntries().empty());
    EXPECT_EQ(text.refs, 1u) << "no reference kept";
}

TEST_F(DropInTest, DragLeaveForgetsAnAcceptableDrag) {
    IDataObject* data = ShellDataObject({HostFile("ONE.TXT", 10)});
    ASSERT_NE(data, nullptr);
    IDropTarget* target = RegisteredDropTarget();
    DWORD effect = kAnyEffect;
    const POINTL at = {0, 0};
    ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target->DragLeave(), S_OK);
    effect = kAnyEffect;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    data->Release();
    EXPECT_TRUE(ListEntries().empty());
}

// The real drag loop: the button is up, so OLE drops at once on the window
// under the cursor.
struct LoopProbe {
    IDataObject* data = nullptr;
    DWORD enterEffect = 0;
    HWND sourceDuringLoop = nullptr;
};
LoopProbe g_probe;

TEST_F(DropInTest, TheWindowsOwnDragDroppedOnItselfChangesNothing) {
    const std::string a = HostFile("ONE.TXT", 10);
    const std::string list = a + '\0' + '\0';
    g_probe = {};
    g_probe.data = ShellDataObject({a});
    ASSERT_NE(g_probe.data, nullptr);
    // Asked from inside the drag loop: the target sees its own window's drag.
    drop.onCall = [](DropWindow&) {
        g_probe.sourceDuringLoop = win32::DragSourceWindow();
        DWORD effect = kAnyEffect;
        RegisteredDropTarget()->DragEnter(g_probe.data, MK_LBUTTON, POINTL{0, 0}, &effect);
        g_probe.enterEffect = effect;
        RegisteredDropTarget()->DragLeave();
    };
    const POINT c = drop.Center();
    SetCursorPos(c.x, c.y);
    Pump();
    PostMessageA(drop.Handle(), DropWindow::kTestCallMessage, 0, 0);
    win32::DoDragOut(drop.Handle(), list.data(), list.size());
    Pump();
    g_probe.data->Release();
    EXPECT_EQ(g_probe.sourceDuringLoop, drop.Handle()) << "the probe ran inside the drag loop";
    EXPECT_EQ(g_probe.enterEffect, static_cast<DWORD>(DROPEFFECT_MOVE)) << "its own drag shows the move cursor";
    EXPECT_EQ(win32::DragSourceWindow(), nullptr) << "set only while the loop runs";
    EXPECT_TRUE(ListEntries().empty());
    EXPECT_FALSE(doc.modified);
}

TEST_F(DropInTest, ADragFromAnotherWindowIsDroppedThroughTheRealLoop) {
    const std::string a = HostFile("ONE.TXT", 100, 4);
    const std::string b = HostFile("TWO.TXT", 2000, 5);
    const std::string list = a + '\0' + b + '\0' + '\0';
    DropWindow source(&doc, 600, 400);
    const POINT c = drop.Center();
    SetCursorPos(c.x, c.y);
    Pump();
    EXPECT_TRUE(win32::DoDragOut(source.Handle(), list.data(), list.size()));
    Pump();
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"ONE.TXT", "TWO.TXT"}));
    ASSERT_EQ(ListEntries().size(), 2u);
    EXPECT_EQ(EntryBytes(doc, ListEntries()[1]), Pattern(2000, 5));
}

TEST_F(DropInTest, ReleasingTheTargetRevokesItAndFreesIt) {
    EXPECT_EQ(win32::LiveComObjects(), 1);
    win32::ReleaseDropTarget();
    EXPECT_EQ(RegisteredDropTarget(), nullptr);
    EXPECT_EQ(win32::LiveComObjects(), 0) << "the platform gave its reference back";
    // The window takes no drops any more.
    EXPECT_EQ(RevokeDragDrop(drop.Handle()), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(DropInTest, RevokingAtWindowDestructionLetsTheReleaseFreeTheTarget) {
    DropWindow other(&doc, 500, 80);
    win32::RegisterDropTarget(other.Handle());
    win32::RevokeDropTarget();
    DestroyWindow(other.Handle());
    win32::ReleaseDropTarget();
    EXPECT_EQ(win32::LiveComObjects(), 0);
}

}  // namespace
}  // namespace vk::test
