// The resources of the built program, read the way Windows reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/dialog_driver.h"
#include "support/process.h"

namespace {

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        std::string path = TestProgramFolder() + "..\\..\\" KELVON_PROGRAM_NAME;
        program_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, program_) << path;
    }
    void TearDown() override {
        if (program_) FreeLibrary(program_);
    }
    HMODULE program_ = nullptr;
};

// Every message in the system code page 936, byte for byte.
TEST_F(ProgramResources, StringTableHoldsEveryMessage) {
    if (GetACP() != 936) GTEST_SKIP() << "code page is " << GetACP() << ", not 936 (locale missing?)";
    const struct {
        UINT id;
        const char* utf8;
    } messages[] = {
        {5101, "Kelvon 压缩文件管理器"},
        {5102, "Kelvon 中文帮助"},
        {5103, "控制台 VOK 中文手册"},
        {5104, "卸载 Kelvon"},
        {5105, "卸载已完成"},
        {5106, "你应该手动删除 %s"},
        {5107, "确实要卸载 Kelvon 吗?"},
        {5108, "无法打开列表文件 %s"},
        {5109, "Kelvon 压缩文件"},
        {5110, "Kelvon ZIP 压缩文件"},
        {5111, "VOK 恢复卷"},
        {5113, "处理 VOK、ZIP 和其他压缩格式"},
        {5114, "你需要重新启动 Windows 来完全卸载 Kelvon。"},
        {5120, "这些选项控制 Kelvon 集成到 Windows 中。"},
        {5121, "第一组选项允许选择可以 Kelvon 关联的文件类型。"},
        {5122, "第二组让你选择 Kelvon 可执行文件链接的位置。"},
        {5123, "最后一组选项可以调节 Kelvon 集成到 Windows 资源管理器中的属性。"},
        {5124, "外壳整合提供方便的功能,像文件右键菜单的“解压”项目,所以通常没有禁止它的必要。"},
        {5125, "点击“帮助”按钮可以阅读关于这些选项的更多详细描述。"},
        {5130, "你在 64 位的 windows 中安装了 32 位的 Kelvon。卸载 32 位 Kelvon 并安装 Kelvon x64, 你会获得更好的性能和"
               "可靠性。"},
    };
    for (const auto& message : messages) {
        SCOPED_TRACE(message.id);
        char text[512];
        int length = LoadStringA(program_, message.id, text, sizeof(text));
        EXPECT_EQ(FromUtf8(message.utf8, 936), std::string(text, static_cast<size_t>(length)));
    }
    // The confirmation, as verified byte for byte against iconv.
    char confirm[512];
    LoadStringA(program_, IDS_CONFIRM_UNINSTALL, confirm, sizeof(confirm));
    EXPECT_STREQ("\xc8\xb7\xca\xb5\xd2\xaa\xd0\xb6\xd4\xd8 Kelvon \xc2\xf0?", confirm);
}

TEST_F(ProgramResources, HomepageIsAWebAddress) {
    char address[512];
    ASSERT_GT(LoadStringA(program_, IDS_HOMEPAGE, address, sizeof(address)), 0);
    EXPECT_EQ(0, std::string(address).rfind("https://", 0));
}

TEST_F(ProgramResources, MessagesAreChineseSimplified) {
    HRSRC block = FindResourceExA(program_, RT_STRING, MAKEINTRESOURCEA(IDS_PRODUCT_NAME / 16 + 1),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_NE(nullptr, block);
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(IS_INTRESOURCE(name) ? "#" : name);
    return TRUE;
}

// Explorer shows the first icon group as the program file's icon.
TEST_F(ProgramResources, ProgramIconComesFirst) {
    std::vector<std::string> groups;
    EnumResourceNamesA(program_, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_EQ(2u, groups.size());
    EXPECT_EQ(IDI_PROGRAM, groups[0]);
    EXPECT_EQ(IDI_DIALOG, groups[1]);
    EXPECT_NE(nullptr, LoadIconA(program_, IDI_DIALOG));
}

// A frame of its own for each icon size of a screen at 100, 150 and 200
// percent, so that none is stretched from another.
TEST_F(ProgramResources, IconsHaveAFrameForEachScreen) {
    for (const char* group : {IDI_PROGRAM, IDI_DIALOG}) {
        HRSRC directory = FindResourceA(program_, group, RT_GROUP_ICON);
        ASSERT_NE(nullptr, directory) << group;
        auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(program_, directory)));
        for (int size : {16, 32, 48, 64}) {
            int id = LookupIconIdFromDirectoryEx(bytes, TRUE, size, size, LR_DEFAULTCOLOR);
            HRSRC frame = FindResourceA(program_, MAKEINTRESOURCEA(id), RT_ICON);
            ASSERT_NE(nullptr, frame) << group << " " << size;
            auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program_, frame)));
            EXPECT_EQ(size, header->biWidth) << group;
        }
    }
}

TEST_F(ProgramResources, ManifestAsksForAdministratorRights) {
    HRSRC found = FindResourceA(program_, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(nullptr, found);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(program_, found))),
                         SizeofResource(program_, found));
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    // Without it, Windows 10 and 11 report themselves as 6.2 to the program and its log.
    EXPECT_NE(std::string::npos, manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"));
    // Without it, Windows draws the program at 96 DPI and stretches the picture.
    EXPECT_NE(std::string::npos,
              manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"));
}

}  // namespace
