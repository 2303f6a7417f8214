#include "Content/AnimationContent.h"
#include "Content/ContentManager.h"
#include "Content/TextureContent.h"
#include "Content/TextureFontContent.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

namespace {

class ContentManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContentManagerInit();
        texturePath = files.writePng("Textures/Fire.png", 64, 32);
        files.writePng("Animations/Walk.png", 128, 32);
        animationPath = files.write("Animations/Walk.json",
                                    R"({"FrameCount": 4, "FrameWidth": 32, "SpriteSheet": "Walk.png",
                                        "FrameDuration": 0.1})");
    }
    void TearDown() override { ContentManagerShutdown(); }

    TextureContent* texture(const std::string& path, uint32_t flags = 0) {
        return ContentLoad<TextureContent>(path.c_str(), flags);
    }

    ScratchDirectory files;
    HeadlessEngine engine;
    std::string texturePath, animationPath;
};

TEST_F(ContentManagerTest, PathsAreKeysWhateverTheSeparatorButCaseSensitive) {
    TextureContent* first = texture(texturePath);
    std::string backslashed = texturePath;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_EQ(texture(backslashed), first);
    EXPECT_EQ(ContentManagerRecords().count, 1);
    EXPECT_EQ(ContentManagerRecords().head->data->path, texturePath);

    files.writePng("Textures/fire.png", 8, 8);
    TextureContent* lower = texture(files.path("Textures/fire.png"));
    EXPECT_NE(lower, first);
    EXPECT_EQ(lower->width, 8u);
    EXPECT_EQ(ContentManagerRecords().count, 2);
}

TEST_F(ContentManagerTest, DeferredLoadsWaitForTheirCompletionAndHitsNeverComplete) {
    TextureContent* deferred = texture(texturePath, CF_DEFERRED);
    EXPECT_EQ(deferred->width, 64u);
    EXPECT_EQ(deferred->height, 32u);
    EXPECT_EQ(deferred->texture, nullptr);
    EXPECT_EQ(texture(texturePath), deferred);
    EXPECT_EQ(deferred->texture, nullptr);
    ContentManagerComplete(deferred, CT_TEXTURE);
    KETexture* created = deferred->texture.get();
    ASSERT_NE(created, nullptr);
    TextureContentComplete(deferred);
    EXPECT_EQ(deferred->texture.get(), created) << "completing twice creates the texture once";

    TextureContent* uncached = texture(texturePath, CF_NO_CACHE);
    EXPECT_NE(uncached, deferred);
    EXPECT_NE(uncached->texture, nullptr);
    EXPECT_EQ(ContentManagerRecords().count, 1);
    TextureContentUnload(uncached);
}

TEST_F(ContentManagerTest, OnlyAnimationsCopyAndCopiesKeepTheirOwnPlayState) {
    TextureContent* shared = texture(texturePath);
    EXPECT_EQ(texture(texturePath, CF_COPY), shared);
    ContentManagerUnloadCopy(shared, CT_TEXTURE);
    EXPECT_EQ(texture(texturePath)->width, 64u) << "still alive after a refused copy release";

    auto* cached = ContentLoad<Animation>(animationPath.c_str());
    auto* a = ContentLoad<Animation>(animationPath.c_str(), CF_COPY);
    auto* b = ContentLoad<Animation>(animationPath.c_str(), CF_COPY);
    EXPECT_NE(a, cached);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->mesh, cached->mesh);
    EXPECT_TRUE(a->paused);
    a->play();
    a->update(0.1f);
    EXPECT_EQ(a->frame, 1u);
    EXPECT_EQ(b->frame, 0u);
    EXPECT_EQ(cached->frame, 0u);
    EXPECT_EQ(ContentManagerLoad(animationPath.c_str(), CT_ANIMATION, 0), cached);
    ContentManagerUnloadCopy(a, CT_ANIMATION);
    ContentManagerUnloadCopy(b, CT_ANIMATION);
}

TEST_F(ContentManagerTest, BrokenRequestsAndFilesAreFatalAndNamed) {
    EXPECT_FATAL(ContentManagerLoad("nowhere.png", 4, 0),
                 "Attempting to load unknown content type.\nFile: nowhere.png");
    EXPECT_FATAL(ContentManagerLoad(std::string(256, 'a').c_str(), CT_TEXTURE, 0),
                 "longer than 255 characters");
    EXPECT_FATAL(ContentManagerLoadString("nowhere.json"), "Unable to load file \\(nowhere.json\\)\\.");
    EXPECT_FATAL(ContentManagerLoadString(files.path("Textures").c_str()),
                 "Unable to load file \\(.*Textures\\)\\.");
    EXPECT_FATAL(
        (texture(texturePath), ContentLoad<Animation>(texturePath.c_str())),
        "Content was loaded as CT_TEXTURE and is now asked for as CT_ANIMATION.\nFile: .*Textures/Fire.png");
    EXPECT_FATAL(TextureContentLoad("nowhere.png", 0), "Unable to load texture file \\(nowhere.png\\)\\.");
    // A FIFO in a file's place is refused at once, never waited on.
    const std::string fifo = files.path("Pipe.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FATAL(TextureContentLoad(fifo.c_str(), 0), "Unable to load texture file \\(.*Pipe.png\\)\\.");
    EXPECT_FATAL(TextureFontContentLoad(fifo.c_str(), 0), "Unable to load texture font \\(.*Pipe.png\\)\\.");
    EXPECT_FATAL(ContentManagerLoadString(fifo.c_str()), "Unable to load file \\(.*Pipe.png\\)\\.");

    const std::string jpeg = files.write("photo.png", "\xFF\xD8\xFF\xE0 not a png at all");
    EXPECT_FATAL(TextureContentLoad(jpeg.c_str(), 0), "Invalid texture file \\{PNG\\}");
    const std::string truncated = files.write("short.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIH", 14));
    EXPECT_FATAL(TextureContentLoad(truncated.c_str(), 0), "ends before its image size");
    const std::string garbage =
        files.write("garbage.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'x'));
    EXPECT_FATAL(
        TextureContentComplete(std::unique_ptr<TextureContent>(TextureContentLoad(garbage.c_str(), 0)).get()),
        "Unable to create texture from file");
}

}  // namespace
