// The shell's icons and type names for names found on a disk: asked by name only (the files do not
// exist), on Windows from the shell itself, on the host from the stand-in.
#include <gtest/gtest.h>

#include "engine/recovery/shell_file_info.h"
#include "ui_recorder.h"

namespace {

TEST(ShellFileInfo, ANameWithoutExtensionIsAnUnknownFile)
{
    const CShellFileInfo shell;
    const std::u16string none = shell.GetFileTypeName(u"README");
    const std::u16string unknown = shell.GetFileTypeName(u"notes.qqzx");
    EXPECT_FALSE(none.empty());
    EXPECT_FALSE(unknown.empty());
    EXPECT_NE(Utf8(none), Utf8(unknown));
    // Unknown files share one icon, whatever their extension; folders have another.
    EXPECT_EQ(shell.GetFileIconIndex(u"README", true), shell.GetFileIconIndex(u"notes.qqzx", true));
    EXPECT_NE(shell.GetFolderIconIndex(true), shell.GetFileIconIndex(u"README", true));
    // Names from a disk are only names: path characters and a missing file change nothing.
    EXPECT_EQ(shell.GetFileIconIndex(u"C:\\no\\such\\folder\\x.qqzx", true),
              shell.GetFileIconIndex(u"x.qqzx", true));
#ifdef _WIN32
    EXPECT_NE(shell.GetSystemImageList(true), 0u);
    EXPECT_NE(shell.GetSystemImageList(true), shell.GetSystemImageList(false));
#else
    EXPECT_EQ(Utf8(none), "File");
    EXPECT_EQ(Utf8(unknown), "QQZX File");
#endif
}

} // namespace
