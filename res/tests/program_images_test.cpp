// The built programs' images: both programs large-address aware, the window
// program's manifest asking to run as the invoker (so no file virtualization),
// and every Windows test program carrying that same manifest.
//
// Arguments after GoogleTest's own: quenbol.exe, quenbol-count.exe, then the
// test programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_programs;

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// IMAGE_FILE_HEADER.Characteristics: 2 bytes at 22 past the "PE\0\0" that
// the DOS header's offset at 0x3C points to.
unsigned Characteristics(const std::string& image) {
    if (image.size() < 0x40) return 0;
    const auto byte = [&](std::size_t at) { return at < image.size() ? static_cast<unsigned char>(image[at]) : 0u; };
    const std::size_t pe = byte(0x3C) | byte(0x3D) << 8 | byte(0x3E) << 16 | byte(0x3F) << 24;
    if (image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return 0;
    return byte(pe + 22) | byte(pe + 23) << 8;
}

// The image's manifest (resource type 24, id 1), or "<none>".
std::string Manifest(const std::string& path) {
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return "<cannot load " + path + ">";
    std::string xml = "<none>";
    if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        if (const void* data = LockResource(LoadResource(image, found))) {
            xml.assign(static_cast<const char*>(data), SizeofResource(image, found));
        }
    }
    FreeLibrary(image);
    return xml;
}

TEST(ProgramImages, BothProgramsAreLargeAddressAware) {
    ASSERT_GE(g_programs.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(g_programs[i]);
        const unsigned flags = Characteristics(FileBytes(g_programs[i]));
        EXPECT_EQ(flags & 0x0002, 0x0002u) << "an executable image";
        EXPECT_EQ(flags & 0x0020, 0x0020u) << "IMAGE_FILE_LARGE_ADDRESS_AWARE";
    }
}

TEST(ProgramImages, TheWindowProgramRunsAsTheInvoker) {
    ASSERT_GE(g_programs.size(), 1u);
    const std::string xml = Manifest(g_programs[0]);
    const std::string trust =
        "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
        "    <security>\n"
        "      <requestedPrivileges>\n"
        "        <requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>\n"
        "      </requestedPrivileges>\n"
        "    </security>\n"
        "  </trustInfo>";
    const std::size_t at = xml.find(trust);
    ASSERT_NE(at, std::string::npos) << xml;
    // Directly inside the assembly element, after the dependency.
    EXPECT_GT(at, xml.find("</dependency>"));
    EXPECT_LT(at, xml.find("</assembly>"));
    EXPECT_EQ(xml.find("requestedExecutionLevel"), xml.rfind("requestedExecutionLevel"));
}

TEST(ProgramImages, EveryTestProgramCarriesTheProgramsManifest) {
    ASSERT_GE(g_programs.size(), 10u) << "quenbol, quenbol-count and the test programs";
    const std::string program = Manifest(g_programs[0]);
    ASSERT_NE(program.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    for (std::size_t i = 2; i < g_programs.size(); ++i) {
        EXPECT_EQ(Manifest(g_programs[i]), program) << g_programs[i];
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    g_programs.assign(argv + 1, argv + argc);
    return RUN_ALL_TESTS();
}
