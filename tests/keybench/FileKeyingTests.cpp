// keybench's file mode: the matte and, on request, the keyed colour are written whole or not at all.
#include "FileKeying.h"
#include "OperationScript.h"
#include "OurKeyer.h"
#include "PngWriter.h"
#include "SceneCatalog.h"
#include "SceneGenerator.h"
#include "StateFolder.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <stdexcept>
#include <string>

using namespace keybench;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A small reference scene and script B as files in the state folder.
struct SceneFiles {
  explicit SceneFiles(const std::string& folder)
      : scene(SceneGenerator::Generate(SceneCatalog::BuiltIn(256, 192).front())) {
    args.composite = folder + "\\composite.png";
    args.script = folder + "\\script.txt";
    args.matte = folder + "\\matte.png";
    calls = SceneCatalog::Script(scene, ScriptKind::B);
    PngWriter::Write(args.composite, scene.composite);
    PngWriter::WriteText(args.script, OperationScript::Format(calls));
  }
  Scene scene;
  std::vector<KeyerCall> calls;
  FileKeyingArgs args;
};

}  // namespace

TEST(FileKeying, WritesTheKeyedColourBesideTheMatteOrNeither) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  {
    const StateFolder folder("keybench-files-");
    SceneFiles files(folder.Path());

    // A colour file in a folder that does not exist: an error naming it, and neither file written.
    FileKeyingArgs bad = files.args;
    bad.colour = folder.Path() + "\\missing\\colour.png";
    try {
      FileKeying::Run(bad);
      ADD_FAILURE() << "no error for an unwritable colour file";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(bad.colour), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Exists(bad.matte));
    EXPECT_FALSE(Exists(bad.colour));

    // Written: the same straight colour and matte the keyer gives through its interfaces.
    FileKeyingArgs good = files.args;
    good.colour = folder.Path() + "\\colour.png";
    EXPECT_EQ(FileKeying::Run(good), 0);
    const OurKeying ours = OurKeyer::Key(ZvkBitmap::FromImage(files.scene.composite), files.calls);
    const ByteImage colour = ZvkBitmap::Load(good.colour).Colour();
    EXPECT_EQ(colour.Samples(), ours.output.foreground.Samples());
    EXPECT_EQ(ZvkBitmap::Load(good.matte).Colour().Width(), ours.output.matte.Width());
    EXPECT_FALSE(Exists(good.colour + ".partial"));
  }
  CoUninitialize();
}
