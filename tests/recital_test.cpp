// Reciters' folders and their recordings, the unit a line lies in, and the
// recitation's kept choices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include <sys/stat.h>

#include "tests/MemorySettings.h"
#include "window/ReaderChoices.h"
#include "window/Recital.h"

namespace fs = std::filesystem;
using namespace mushaf;

namespace {

class Folder {
public:
    Folder() : path_(fs::temp_directory_path() / ("recital-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Folder() { fs::remove_all(path_); }
    fs::path Touch(const fs::path& relative) const {
        fs::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative) << "x";
        return path_ / relative;
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

using mushaf::testing::MemorySettings;

}  // namespace

TEST(Recital, RecitersAreTheSubFoldersByNameTheFirstPlaceWinning) {
    Folder f;
    f.Touch("user/Minshawi/001001.mp3");
    f.Touch("user/Alafasy/001001.mp3");
    f.Touch("user/.cache/001001.mp3");
    f.Touch("user/notes.txt");
    f.Touch("given/Alafasy/002001.mp3");
    f.Touch("given/Husary/001001.mp3");
    const auto found = FindReciters({f.path() / "user", f.path() / "missing", f.path() / "given"});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, u"Alafasy");
    EXPECT_EQ(found[0].folder, f.path() / "user" / "Alafasy");
    EXPECT_EQ(found[1].name, u"Minshawi");
    EXPECT_EQ(found[2].name, u"Husary");
    EXPECT_TRUE(FindReciters({}).empty());
}

TEST(Recital, RecordingsAreFoundByNameAndExtensionInAnyCase) {
    Folder f;
    for (const char* name : {"001001.mp3", "001002.OGG", "001003.Opus", "001004.wav", "001005.flac", "01006.mp3", "0010070.mp3",
                             "abcdef.mp3", "002000.mp3", "002001.wav", "002001.mp3", "003001.ogg"})
        f.Touch(name);
    fs::create_directories(f.path() / "001006.mp3");  // a folder is no recording
    const Recordings r(f.path());
    EXPECT_EQ(r.size(), 7u);
    EXPECT_EQ(r.Of(1, 2)->filename(), "001002.OGG");
    EXPECT_EQ(r.Of(1, 3)->filename(), "001003.Opus");
    EXPECT_EQ(r.Of(1, 4)->filename(), "001004.wav");
    EXPECT_FALSE(r.Of(1, 5));
    EXPECT_FALSE(r.Of(1, 6));
    EXPECT_FALSE(r.Of(1, 7));
    // of two formats of one ayah, mp3 before ogg, opus and wav
    EXPECT_EQ(r.Of(2, 1)->filename(), "002001.mp3");
    // a Bismillah line: the surah's own, else 001001 before a surah the folder has
    EXPECT_EQ(r.Of(2, 0)->filename(), "002000.mp3");
    EXPECT_EQ(r.Of(3, 0)->filename(), "001001.mp3");
    EXPECT_FALSE(r.Of(4, 0));
    EXPECT_FALSE(Recordings(f.path() / "missing").Of(1, 1));
}

// Whatever a folder holds, the scan goes on: a name that is no UTF-8 is read
// leniently, and a link that loops, a FIFO or a device named like a recording,
// or a folder that cannot be listed is passed over on its own.
TEST(Recital, NoNameOrFileTheFoldersHoldStopsTheScan) {
    Folder f;
    const fs::path root = f.path() / "user";
    const fs::path odd = root / std::string("Qari \xff\xfe");  // Latin-1 bytes, no UTF-8
    f.Touch(fs::path("user") / std::string("Qari \xff\xfe") / "001001.mp3");
    f.Touch("user/Husary/001002.mp3");
    fs::create_directory_symlink(root / "Loop", root / "Loop");  // a link to itself
    fs::create_directory_symlink(root / "Husary", root / "Linked");
    ASSERT_EQ(::mkfifo((root / "Husary" / "001003.mp3").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", root / "Husary" / "001004.mp3");
    fs::create_symlink(root / "Husary" / "gone", root / "Husary" / "001005.mp3");  // dangling
    fs::create_symlink(root / "Husary" / "001007.mp3", root / "Husary" / "001007.mp3");  // loops
    std::vector<Reciter> found;
    ASSERT_NO_THROW(found = FindReciters({root, f.path() / "user" / "Husary" / "001002.mp3"}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, u"Husary");
    EXPECT_EQ(found[1].name, u"Linked");
    EXPECT_EQ(found[2].name, u"Qari \uFFFD\uFFFD");
    EXPECT_EQ(found[2].folder, odd);
    std::optional<Recordings> r;
    ASSERT_NO_THROW(r.emplace(found[0].folder));
    EXPECT_EQ(r->size(), 1u);
    EXPECT_EQ(r->Of(1, 2)->filename(), "001002.mp3");
    ASSERT_NO_THROW(r.emplace(odd));
    EXPECT_EQ(r->Of(1, 1), odd / "001001.mp3");
}

TEST(Recital, TheLastLineOfTheUnitALineLiesIn) {
    const std::vector<int16_t> pages{0, 7, 13, 24};
    EXPECT_EQ(LastLineOfUnit(pages, 0, 100), 6);
    EXPECT_EQ(LastLineOfUnit(pages, 6, 100), 6);
    EXPECT_EQ(LastLineOfUnit(pages, 7, 100), 12);
    EXPECT_EQ(LastLineOfUnit(pages, 24, 100), 100);
    EXPECT_EQ(LastLineOfUnit({}, 24, 100), 100);
}

TEST(Recital, TheRecitationChoicesAreKeptAndReadOnlyWhenSound) {
    MemorySettings s;
    ChoiceStore store(s, 0, 6347, 100);
    ReaderChoices c = store.Load();
    EXPECT_EQ(c.reciter, u"");
    EXPECT_EQ(c.repeat, 1);
    EXPECT_EQ(c.playTo, ReaderChoices::PlayTo::Quran);
    EXPECT_EQ(c.speed, 100);
    c.reciter = u"عبدالباسط";
    c.repeat = 0;
    c.playTo = ReaderChoices::PlayTo::Juz;
    c.speed = 75;
    store.Save(c);
    EXPECT_EQ(s.values[u"Repeat"], u"forever");
    EXPECT_EQ(s.values[u"PlayTo"], u"juz");
    EXPECT_EQ(s.values[u"Speed"], u"75");
    EXPECT_EQ(ChoiceStore(s, 0, 6347, 100).Load(), c);
    for (auto [key, value] : {std::pair{u"Repeat", u"4"}, {u"Repeat", u"-1"}, {u"PlayTo", u"hizb"}, {u"Speed", u"200"},
                              {u"Speed", u"75.0"}}) {
        MemorySettings odd;
        odd.values[key] = value;
        EXPECT_EQ(ChoiceStore(odd, 0, 6347, 100).Load(), ReaderChoices{});
    }
}

// A range is kept as its lines and numbers, and read only where each is in
// its bounds.
TEST(Recital, TheRangeIsKeptAndReadOnlyWhenSound) {
    MemorySettings s;
    ChoiceStore store(s, 0, 6347, 100);
    ReaderChoices c = store.Load();
    EXPECT_FALSE(c.range);
    c.range = ReaderChoices::Range{8, 12, 0, 3, 2};
    store.Save(c);
    EXPECT_EQ(s.values[u"Range"], u"8:12:0:3:2");
    EXPECT_EQ(ChoiceStore(s, 0, 6347, 100).Load(), c);
    c.range.reset();
    store.Save(c);
    EXPECT_EQ(s.values[u"Range"], u"");
    EXPECT_FALSE(ChoiceStore(s, 0, 6347, 100).Load().range);
    int i = 0;
    for (const char16_t* odd : {u"12:8:1:1:0", u"8:6348:1:1:0", u"-1:8:1:1:0", u"8:12:11:1:0", u"8:12:1:0:0", u"8:12:1:1:11",
                                u"8:12:1:1", u"8:12:1:1:0:0", u"8:12:1:1:x", u"8:12:1:1:"}) {
        MemorySettings kept;
        kept.values[u"Range"] = odd;
        EXPECT_FALSE(ChoiceStore(kept, 0, 6347, 100).Load().range) << "text " << i++;
    }
}
