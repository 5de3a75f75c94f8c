#include "FileSearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using fsys::FindFile;
using fsys::WildcardMatch;

namespace {

class FileSearch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root =
            fs::temp_directory_path() / ("docwin-search-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "sub.cfg");
        for (const char *name : {"b.cfg", "a.cfg", ".hidden.cfg", "notes.txt"})
            std::ofstream(root / name) << "x";
#ifdef _WIN32
        // Hidden there is an attribute, not a leading dot.
        SetFileAttributesW((root / ".hidden.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    }
    void TearDown() override
    {
        fs::remove_all(root);
    }

    std::u16string In(const std::string &name) const
    {
        const std::u8string path = (root / name).u8string();
        return std::u16string(path.begin(), path.end());
    }

    fs::path root;
};

} // namespace

TEST(WildcardMatch, StarAndQuestionMark)
{
    EXPECT_TRUE(WildcardMatch(u"*.cfg", u"a.cfg"));
    EXPECT_TRUE(WildcardMatch(u"*", u""));
    EXPECT_TRUE(WildcardMatch(u"a?c", u"abc"));
    EXPECT_FALSE(WildcardMatch(u"a?c", u"ac"));
    EXPECT_TRUE(WildcardMatch(u"*a*a*b", u"xaxaxab"));
    EXPECT_FALSE(WildcardMatch(u"*a*a*b", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"));
    EXPECT_FALSE(WildcardMatch(u"*.cfg", u"a.cfgx"));
    EXPECT_FALSE(WildcardMatch(u"A.CFG", u"a.cfg"));
    // A "*" in the name is an ordinary character to a "*" in the pattern.
    EXPECT_TRUE(WildcardMatch(u"*a*a*?b", u"xaxa*a*b"));
    EXPECT_TRUE(WildcardMatch(u"a*", u"a*"));
}

TEST_F(FileSearch, ExactNameOfAnOrdinaryFile)
{
    EXPECT_EQ(FindFile(In("a.cfg")), u"a.cfg");
    EXPECT_EQ(FindFile(In("missing.cfg")), u"");
    EXPECT_EQ(FindFile(In("sub.cfg")), u"") << "a folder is not a file";
    EXPECT_EQ(FindFile(In("a.cfg/x")), u"");
    EXPECT_EQ(FindFile(u""), u"");
}

TEST_F(FileSearch, WildcardsMatchWithinTheFolderOnOrdinaryVisibleFiles)
{
    EXPECT_EQ(FindFile(In("*.cfg")), u"a.cfg");
    EXPECT_EQ(FindFile(In("?.cfg")), u"a.cfg");
    EXPECT_EQ(FindFile(In("n*")), u"notes.txt");
    EXPECT_EQ(FindFile(In("sub*")), u"") << "only the folder matches";
    EXPECT_EQ(FindFile(In("*hidden*")), u"");
    EXPECT_EQ(FindFile(In("*/a.cfg")), u"") << "wildcards in the folder part are literal";
}

TEST_F(FileSearch, HiddenFilesOnlyWhenAskedFor)
{
    EXPECT_EQ(FindFile(In(".hidden.cfg")), u"");
    EXPECT_EQ(FindFile(In(".hidden.cfg"), true), u".hidden.cfg");
    EXPECT_EQ(FindFile(In(".h*"), true), u".hidden.cfg");
}

TEST_F(FileSearch, NamesThatCannotBeFilesFindNothing)
{
    std::u16string withNul = In("a.cfg");
    withNul.insert(withNul.size() - 4, 1, u'\0');
    EXPECT_EQ(FindFile(withNul), u"");
    EXPECT_EQ(FindFile(In("a") + u'\xD800' + u".cfg"), u"");
}
