// The scene library: a render follows its scene's includes however deep and keys its cache on
// all of them; a missing include and povray's parse errors name the artist's own file and line.
#include "render/scene_library.h"
#include "render/povray.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace render;

// A scene library of its own in a temporary folder, removed afterwards.
class SceneLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        c_root = fs::temp_directory_path() / ("kelvane-scenes-test-" + std::to_string(::getpid()));
        fs::remove_all(c_root);
        // A scene that includes a material, which includes its colours; the colours also come
        // in through a second include and are followed once. An include in a comment is no
        // dependency.
        Write("shore/post.pov", "#version 3.7;\n"
                                "// #include \"notes.inc\" is what the old scene had\n"
                                "#include \"materials.inc\"\n"
                                "/* #include \"sketch.inc\" /* nested */ still a comment */\n"
                                "#include \"colours.inc\"\n"
                                "camera { location <0, 0, -3> look_at 0 }\n"
                                "light_source { <2, 3, -4>, 1 }\n"
                                "sphere { 0, 1 texture { Tar } }\n");
        Write("materials.inc", "#include \"colours.inc\"\n#declare Tar = texture { pigment { TarColour } }\n");
        Write("colours.inc", "#declare TarColour = rgb <0.1, 0.08, 0.06>;\n");
        Write("unused.inc", "#declare Unused = 1;\n");
    }
    void TearDown() override { fs::remove_all(c_root); }

    void Write(const std::string& name, const std::string& text)
    {
        fs::create_directories((c_root / name).parent_path());
        std::ofstream(c_root / name, std::ios::binary) << text;
    }
    std::string Library() const { return c_root.string(); }
    std::string PathOf(const std::string& name) const { return (c_root / name).lexically_normal().string(); }

    static RenderRequest Post()
    {
        RenderRequest request;
        request.name = "post";
        request.sceneFile = "shore/post.pov";
        request.width = 32;
        request.height = 16;
        return request;
    }
    RenderSettings Settings() const
    {
        RenderSettings settings;
        settings.quality = Quality::Draft;
        settings.sceneLibrary = Library();
        return settings;
    }

    // The message of the Error a render throws, or "" when it renders.
    std::string RenderError(const RenderRequest& request) const
    {
        try {
            Render(request, Settings());
        } catch (const Error& e) {
            return e.what();
        }
        return "";
    }

    fs::path c_root;
};

TEST_F(SceneLibrary, IncludesAreFollowedOnceEachAndAMissingOneNamesItsIncluder)
{
    const std::vector<SceneFile> files = IncludedFiles("#include \"shore/post.pov\"\n", "prelude", Library());
    std::vector<std::string> names;
    for (const SceneFile& f : files) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"shore/post.pov", "materials.inc", "colours.inc"}));
    EXPECT_EQ(files[2].bytes, "#declare TarColour = rgb <0.1, 0.08, 0.06>;\n") << "the file's own bytes";

    fs::remove(c_root / "colours.inc");
    try {
        IncludedFiles("#include \"shore/post.pov\"\n", "prelude", Library());
        ADD_FAILURE() << "a missing include was not reported";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(PathOf("materials.inc") + ":1: #include \"colours.inc\""), std::string::npos) << message;
        EXPECT_NE(message.find("has no such file"), std::string::npos) << message;
    }
    EXPECT_THROW(IncludedFiles("\n#include \"../outside.inc\"\n", "prelude", Library()), Error);
    try {
        IncludedFiles("#declare F = \"a.inc\";\n#include F\n", "the prelude of post", Library());
        ADD_FAILURE() << "an include by variable was taken";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("the prelude of post:2:"), std::string::npos) << e.what();
    }
}

TEST_F(SceneLibrary, TheCacheKeyChangesWithEveryIncludedFileAndNoOther)
{
    const RenderRequest post = Post();
    const std::string before = InputHash(post, Quality::Draft, "3.7", Library());
    Write("unused.inc", "#declare Unused = 2;\n");
    EXPECT_EQ(InputHash(post, Quality::Draft, "3.7", Library()), before) << "a file the scene does not include";
    Write("colours.inc", "#declare TarColour = rgb <0.1, 0.08, 0.07>;\n");
    const std::string deep = InputHash(post, Quality::Draft, "3.7", Library());
    EXPECT_NE(deep, before) << "a file included by an included file";
    Write("shore/post.pov", "#include \"materials.inc\"\nsphere { 0, 2 texture { Tar } }\n");
    EXPECT_NE(InputHash(post, Quality::Draft, "3.7", Library()), deep) << "the scene file itself";
    RenderRequest open = post;
    open.scene = "#declare GateOpen = true;\n";
    EXPECT_NE(InputHash(open, Quality::Draft, "3.7", Library()), InputHash(post, Quality::Draft, "3.7", Library()))
        << "the prelude";
}

TEST_F(SceneLibrary, PovraysParseErrorsNameTheScenesOwnFileAndLine)
{
    REQUIRE_RENDERER();
    EXPECT_EQ(RenderError(Post()), "") << "the scene as written renders";

    // An unclosed sphere on line 8 of the scene file: povray finds out on the next line.
    Write("shore/post.pov", "#version 3.7;\n#include \"materials.inc\"\ncamera { location <0, 0, -3> look_at 0 }\n"
                            "\n\n\n\nsphere { 0, 1 texture { Tar }\nbox { 1, 2 }\n");
    std::string message = RenderError(Post());
    EXPECT_NE(message.find(PathOf("shore/post.pov") + ":9: "), std::string::npos) << message;
    EXPECT_NE(message.find("No matching } in 'sphere', box found instead"), std::string::npos)
        << "povray's wrapped message is joined: " << message;

    // An error in a shared file names that file.
    Write("shore/post.pov", "#include \"materials.inc\"\nsphere { 0, 1 texture { Tar } }\n");
    Write("colours.inc", "#declare TarColour = rgb <0.1, 0.08;\n");
    message = RenderError(Post());
    EXPECT_NE(message.find(PathOf("colours.inc") + ":1: "), std::string::npos) << message;

    // A missing include is reported before povray runs, with the file that asked for it.
    Write("shore/post.pov", "#include \"materials.inc\"\n#include \"lighting/dusk.inc\"\n");
    message = RenderError(Post());
    EXPECT_NE(message.find(PathOf("shore/post.pov") + ":2: #include \"lighting/dusk.inc\""), std::string::npos)
        << message;
}

TEST(SceneLibraryErrors, OnlyErrorsAreReportedAndTheGeneratedTextIsNamedWhereItIsKept)
{
    const std::string output = "==== [Parsing...] ====\n"
                               "File 'scene.pov' line 3: Possible Parse Error: Cannot find file 'x.inc',\n"
                               " even after trying to append file type extension.\n"
                               "File 'scene.pov' line 3: Parse Error: Cannot open include file x.inc.\n"
                               "Fatal error in parser: Cannot parse input.\n";
    EXPECT_EQ(ReportedErrors(output, "/tmp/kelvane-render-1", "/nowhere"),
              "/tmp/kelvane-render-1/scene.pov:3: Parse Error: Cannot open include file x.inc.");
    EXPECT_EQ(ReportedErrors("Render failed\n", "/tmp/kelvane-render-1", "/nowhere"), "");
}

}  // namespace
