// 8.3 names from host names, their packing, and the two character rules.
#include <string>

#include <gtest/gtest.h>

#include "engine/fat/ops/name_claims.h"
#include "engine/ports/host_text.h"
#include "engine/fat/dir/short_names.h"

namespace vk {
namespace {

std::string Short(const std::string& longName, const std::string& shortName = {}) {
    HostFindData found;
    found.longName = longName;
    found.shortName = shortName;
    return MakeShortName(found);
}

std::string Packed(const std::string& display) {
    const PackedName p = PackShortName(display);
    return std::string(p.begin(), p.end());
}

TEST(MakeShortName, CutsAndUpperCasesHostNames) {
    struct Case {
        const char* longName;
        const char* shortName;
        const char* want;
    } cases[] = {
        {"notes.txt", "", "NOTES.TXT"},
        {"Letter to Bob.doc", "", "LETTER T.DOC"},
        {"archive.tar.gz", "", "ARCHIVET.GZ"},
        {".profile", "", "_.PRO"},
        {"README", "", "README"},
        {"trailing.", "", "TRAILING"},
        {"Letter to Bob.doc", "LETTER~1.DOC", "LETTER~1.DOC"},  // the host's own short name wins
        {"averyverylongname.markdown", "", "AVERYVER.MAR"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Short(c.longName, c.shortName), c.want) << c.longName;
    }
}

// What no DOS opens in a short name is made '_' under either strength;
// what DOS opens stays, even where the strength would refuse it when typed.
TEST(MakeShortName, ReplacesWhatNoDosOpens) {
    struct Case {
        const char* longName;
        const char* want;
    } cases[] = {
        {"WHAT?.TXT", "WHAT_.TXT"},
        {"A*B.C", "A_B.C"},
        {"X:Y", "X_Y"},
        {"LE<SS", "LE_SS"},
        {"GR>EAT", "GR_EAT"},
        {"Q\"UOTE", "Q_UOTE"},
        {"TAB\tX.T\tT", "TAB_X.T_T"},
        {"a+b.c", "A_B.C"},
        {"a,b;c=d.[x]", "A_B_C_D._X_"},
        {"back\\sl|sh", "BACK_SL_"},
        {"del\x7f", "DEL_"},
        {"a.b.c", "AB.C"},
        {"archive.tar.gz", "ARCHIVET.GZ"},
        {".profile", "_.PRO"},
        {"...", "_"},
        {" .txt", "_.TXT"},
        {"  lead.txt", "__LEAD.TXT"},
        {"Letter to Bob.doc", "LETTER T.DOC"},
        {"%$#!.()~", "%$#!.()~"},
        {"a&b^c.txt", "A&B^C.TXT"},
        {"caf\x80.txt", "CAF\x80.TXT"},
        {"\x82\xA0\x82\xA2.txt", "\x82\xA0\x82\xA2.TXT"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Short(c.longName), c.want) << c.longName;
    }
}

TEST(MakeShortName, KeepsHighBytesUnderEitherStrength) {
    const std::string name = "caf\x80.txt";  // a byte without case in any code page
    EXPECT_EQ(Short(name), "CAF\x80.TXT");
}

TEST(PackShortName, PadsNameAndExtensionWithBlanks) {
    EXPECT_EQ(Packed("NOTES.TXT"), "NOTES   TXT");
    EXPECT_EQ(Packed("LETTER T.DOC"), "LETTER TDOC");
    EXPECT_EQ(Packed(".PRO"), "        PRO");
    EXPECT_EQ(Packed("README"), "README     ");
    EXPECT_EQ(Packed("TOOLONGNAME.TOOLONG"), "TOOLONGNTOO");
    EXPECT_EQ(Packed(""), "           ");
    EXPECT_EQ(Packed("\xE5XY.Z"), "\x05XY     Z  ") << "0xE5 first would mark the entry deleted";
}

TEST(IsValidNamePart, FollowsTheStrengthTable) {
    struct Case {
        const char* name;
        std::string text;
        bool strict;
        bool regular;
    } cases[] = {
        {"empty", "", true, true},
        {"letters and digits", "ABCXYZ09", true, true},
        {"allowed punctuation", "!#$%'()-@_`{}~", true, true},
        {"lower case", "abc", false, false},
        {"blank", "A B", false, false},
        {"high byte", "A\x80", false, true},
        {"byte FF", "\xFF", false, true},
        {"deleted mark E5", "\xE5", false, false},
        {"control byte", "A\x01", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidNamePart(c.text, NameStrength::kStrict), c.strict) << c.name;
        EXPECT_EQ(IsValidNamePart(c.text, NameStrength::kRegular), c.regular) << c.name;
    }
    for (char c : std::string("\"&*+,./:;=?[\\]^<>|")) {
        EXPECT_FALSE(IsValidNamePart(std::string(1, c), NameStrength::kRegular)) << c;
    }
}

TEST(IsValidNamePart, AnyStrengthButStrictActsAsRegular) {
    EXPECT_TRUE(IsValidNamePart("\x80", static_cast<NameStrength>(7)));
    EXPECT_FALSE(IsValidNamePart("\x80", NameStrength::kStrict));
}

// A UTF-8 name is cut where a character begins; other names byte by byte.
TEST(MakeShortName, NeverEndsInHalfACharacter) {
    struct Case {
        const char* longName;
        const char* want;
    } cases[] = {
        {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4.txt", "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4.TXT"},
        {"abcdefg\xC3\xA4.txt", "ABCDEFG.TXT"},
        {"x.\xE2\x82\xAC\xE2\x82\xAC", "X.\xE2\x82\xAC"},
        {"abcdefg\xE9\xE9.txt", "ABCDEFG\xE9.TXT"},  // a code page's bytes: cut at 8
    };
    for (const Case& c : cases) {
        std::string want = c.want;
        HostUpperCase(want);  // the host's upper case of the same bytes (Windows: its code page)
        EXPECT_EQ(Short(c.longName), want) << c.longName;
    }
}

TEST(ShortNameWithTail, KeepsTheTailInsideEightBytes) {
    struct Case {
        const char* name;
        unsigned number;
        const char* want;
    } cases[] = {
        {"LONGNAME.TXT", 1, "LONGNA~1.TXT"},
        {"AB.C", 2, "AB~2.C"},
        {"README", 10, "READM~10"},
        {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4.TXT", 1, "\xC3\xA4\xC3\xA4\xC3\xA4~1.TXT"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortNameWithTail(c.name, c.number), c.want) << c.name;
}

}  // namespace
}  // namespace vk
