// The compiled resources, read through the system's own loaders and the documented layouts of
// what they leave out: the version record, the dialog fonts, the icon and logo, and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "resource.h"

namespace {

HMODULE Self() {
    return ::GetModuleHandleA(nullptr);
}

const void* ResourceBytes(LPCSTR type, LPCSTR name) {
    HRSRC resource = ::FindResourceA(Self(), name, type);
    return resource != nullptr ? ::LockResource(::LoadResource(Self(), resource)) : nullptr;
}

std::string VersionString(const std::vector<char>& block, const char* name) {
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "<none>";
    return length > 0 ? std::string(value) : std::string();
}

TEST(Resources, TheVersionRecordReadsBack) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    constexpr DWORD kVersionHigh = MAKELONG(0, 1), kVersionLow = MAKELONG(1, 0);  // 1.0.0.1
    EXPECT_EQ(fixed->dwFileVersionMS, kVersionHigh);
    EXPECT_EQ(fixed->dwFileVersionLS, kVersionLow);
    EXPECT_EQ(fixed->dwProductVersionMS, kVersionHigh);
    EXPECT_EQ(fixed->dwProductVersionLS, kVersionLow);
    EXPECT_EQ(fixed->dwFileFlagsMask, static_cast<DWORD>(VS_FFI_FILEFLAGSMASK));
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, static_cast<DWORD>(VFT2_UNKNOWN));

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    EXPECT_EQ(translation[1], CP_WINUNICODE);

    const std::pair<const char*, const char*> kStrings[] = {
        {"FileVersion", "1, 0, 0, 1"},  {"ProductVersion", "1, 0, 0, 1"}, {"InternalName", "ZENTAQ Tester"},
        {"OriginalFilename", "ZENTAQ Tester.EXE"}, {"ProductName", "ZENTAQ Tester Application"},
        {"LegalCopyright", "Copyright (C) 2026 ZENTAQ"}, {"Comments", ""}, {"CompanyName", ""},
        {"FileDescription", ""}, {"LegalTrademarks", ""}, {"PrivateBuild", ""}, {"SpecialBuild", ""}};
    for (const auto& [name, value] : kStrings) EXPECT_EQ(VersionString(block, name), value) << name;
}

// The font a dialog template asks for. After the head (DLGTEMPLATE, or the extended one that
// begins 1, 0xFFFF and that the SDK headers leave out) come the menu, the class and the caption,
// each an ordinal (0xFFFF and a number) or a UTF-16 string; then the point size, in an extended
// template the weight, the italic flag and the character set, and the face name.
struct TemplateFont {
    WORD points = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::string face;
};
constexpr std::size_t kExtendedHeadWords = 13;

TemplateFont FontOf(int dialog) {
    const auto* p = static_cast<const WORD*>(ResourceBytes(RT_DIALOG, MAKEINTRESOURCEA(dialog)));
    TemplateFont font;
    if (p == nullptr) return font;
    const bool extended = p[1] == 0xFFFF;
    p += extended ? kExtendedHeadWords : sizeof(DLGTEMPLATE) / sizeof(WORD);
    for (int field = 0; field < 3; ++field) {
        if (*p == 0xFFFF) {
            p += 2;
        } else {
            while (*p++ != 0) {
            }
        }
    }
    font.points = *p++;
    if (extended) {
        font.weight = *p++;
        font.italic = LOBYTE(*p);
        font.charset = HIBYTE(*p++);
    }
    while (*p != 0) font.face += static_cast<char>(*p++);
    return font;
}

TEST(Resources, BothDialogsAskForTheDialogFont) {
    // The rest of both templates shows in the windows the dialog manager builds from them.
    for (const int dialog : {IDD_TESTER_DIALOG, IDD_ABOUTBOX}) {
        const TemplateFont font = FontOf(dialog);
        EXPECT_EQ(font.points, 8) << dialog;
        EXPECT_EQ(font.face, "MS Sans Serif") << dialog;
    }
    // Windows builds the main dialog's font from these; Wine ignores them, so only the bytes show them.
    const TemplateFont font = FontOf(IDD_TESTER_DIALOG);
    EXPECT_EQ(font.weight, FW_DONTCARE);
    EXPECT_EQ(font.italic, FALSE);
    EXPECT_EQ(font.charset, DEFAULT_CHARSET) << "the labels' bytes are read in the system's ANSI code page";
}

TEST(Resources, IconAndLogoAreWhereTheProgramLooks) {
    // The icon group is in Chinese (Simplified), everything else in US English.
    EXPECT_NE(::FindResourceExA(Self(), RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)),
              nullptr);
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    for (int dialog : {IDD_ABOUTBOX, IDD_TESTER_DIALOG}) {
        EXPECT_NE(::FindResourceExA(Self(), RT_DIALOG, MAKEINTRESOURCEA(dialog), english), nullptr) << dialog;
    }
    EXPECT_NE(::FindResourceExA(Self(), RT_BITMAP, MAKEINTRESOURCEA(IDB_LOGO), english), nullptr);
    EXPECT_NE(::FindResourceExA(Self(), RT_STRING, MAKEINTRESOURCEA(IDS_ABOUTBOX / 16 + 1), english), nullptr);

    // One 48x48 image with 256 colours: the group's count (the third WORD of its head), and the
    // image the system picks from it.
    const auto* group = static_cast<const BYTE*>(ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME)));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(reinterpret_cast<const WORD*>(group)[2], 1) << "images in the icon";
    const int image = ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, 0, 0, LR_DEFAULTCOLOR);
    const auto* icon = static_cast<const BITMAPINFOHEADER*>(ResourceBytes(RT_ICON, MAKEINTRESOURCEA(image)));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->biWidth, 48);
    EXPECT_EQ(icon->biHeight, 2 * 48) << "the colour image and the mask";
    EXPECT_EQ(icon->biBitCount, 8);

    const auto* logo = static_cast<const BITMAPINFOHEADER*>(ResourceBytes(RT_BITMAP, MAKEINTRESOURCEA(IDB_LOGO)));
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->biBitCount, 24);
}

// ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION as Windows 10 and Wine fill it: MinGW-w64's
// headers lack each element's MaxVersionTested.
struct CompatibilityElement {
    GUID id;
    ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
    ULONGLONG maxVersionTested;
};
struct CompatibilityInformation {
    DWORD count;
    CompatibilityElement elements[8];
};

TEST(Resources, TheSystemTakesTheManifestAsInvokerSystemDpiAwareWithTheClassicControls) {
    // A manifest the system cannot read stops the program from starting.
    ASSERT_NE(::FindResourceExA(Self(), RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID,
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr);
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.hModule = Self();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = ::CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "CreateActCtx: " << ::GetLastError();

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    EXPECT_TRUE(::QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &runLevel,
                               sizeof runLevel, nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);

    // System DPI awareness in the 2005 namespace, and no per-monitor awareness, which would
    // override it on Windows 10.
    wchar_t setting[32] = {};
    EXPECT_TRUE(::QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                       L"dpiAware", setting, std::size(setting), nullptr));
    EXPECT_STREQ(setting, L"true");
    EXPECT_FALSE(::QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                        L"dpiAwareness", setting, std::size(setting), nullptr));

    // Windows Vista to 11.
    CompatibilityInformation compatibility{};
    ASSERT_TRUE(::QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, &compatibility,
                               sizeof compatibility, nullptr));
    ASSERT_LE(compatibility.count, std::size(compatibility.elements));
    std::vector<std::string> systems;
    for (DWORD i = 0; i < compatibility.count; ++i) {
        const CompatibilityElement& element = compatibility.elements[i];
        EXPECT_EQ(element.type, ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS);
        const GUID& g = element.id;
        char id[40];
        std::snprintf(id, sizeof id, "%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                      static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                      g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
        systems.push_back(id);
    }
    std::sort(systems.begin(), systems.end());
    EXPECT_EQ(systems, (std::vector<std::string>{
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78",  // Windows 8.1
                           "35138b9a-5d96-4fbd-8e2d-a2440225f93a",  // Windows 7
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",  // Windows 8
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",  // Windows 10 and 11
                           "e2011457-1546-43c5-a5fe-008deee3d3f0",  // Windows Vista
                       }));

    // The program's own assembly alone: a dependency on Common Controls 6 would give the keys
    // and the About box the themed look.
    std::vector<BYTE> buffer(1024);
    ASSERT_TRUE(::QueryActCtxW(0, context, nullptr, ActivationContextDetailedInformation, buffer.data(),
                               buffer.size(), nullptr));
    EXPECT_EQ(reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(buffer.data())->ulAssemblyCount, 1u);
    ::ReleaseActCtx(context);
}

}  // namespace
