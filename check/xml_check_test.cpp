// The check of XML keyboard files: each kind of finding at its line, the
// schema's findings, unreadable files, and the clean bundled example.
#include "check/xml_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/input_kind.h"
#include "check/report_text.h"
#include "check/schema_check.h"
#include "check/xml_lines.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "testing/com_test.h"
#include "testing/failing_allocation.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

using XmlCheckTest = ComTest;

// A small keyboard as the writer writes it: valid, nothing dropped. Line 1
// is "keydef", 2 "subkeydef", 5 the sound, 10 the key, 13 its point, 17 the
// macro, 19 its stroke, 22 and 23 the shift lists.
const std::string kClean =
    "<keydef name=\"k\">\n"
    "\t<subkeydef name=\"800\" type=\"big\" language=\"-1\" forcewinkeyboard=\"false\" "
    "docked=\"true\">\n"
    "\t\t<hotspot x=\"0\" y=\"0\"/>\n"
    "\t\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
    "\t\t<sound id=\"1\">a.wav</sound>\n"
    "\t\t<dockbackground/>\n"
    "\t\t<shape/>\n"
    "\t\t<nondragarea/>\n"
    "\t\t<nonshiftkeys>\n"
    "\t\t\t<key sound=\"1\" type=\"1\" vkey=\"8\">\n"
    "\t\t\t\t<shape>\n"
    "\t\t\t\t\t<polygon>\n"
    "\t\t\t\t\t\t<point x=\"0\" y=\"0\"/>\n"
    "\t\t\t\t\t</polygon>\n"
    "\t\t\t\t</shape>\n"
    "\t\t\t</key>\n"
    "\t\t\t<macro sound=\"1\">\n"
    "\t\t\t\t<shape/>\n"
    "\t\t\t\t<mkey vkey=\"16\" pressed=\"1\" char=\"\"/>\n"
    "\t\t\t</macro>\n"
    "\t\t</nonshiftkeys>\n"
    "\t\t<keyswithoutshift/>\n"
    "\t\t<keyswithshift/>\n"
    "\t</subkeydef>\n"
    "</keydef>\n";

// kClean with the first `from` replaced by `to`.
std::string Edited(const std::string& from, const std::string& to) {
    std::string text = kClean;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

CheckReport Check(const std::string& xml) {
    CheckReport report;
    CheckXmlMemory(xml, report);
    return report;
}

// The findings other than the schema's, as "LINE kind".
std::vector<std::string> ReaderFindings(const CheckReport& report) {
    std::vector<std::string> found;
    for (const Finding& finding : report.findings) {
        if (finding.kind != "schema")
            found.push_back(std::to_string(finding.line) + " " + finding.kind);
    }
    return found;
}

}  // namespace

TEST_F(XmlCheckTest, EachKindIsReportedAtItsLine) {
    struct Case {
        std::string xml;
        std::vector<std::string> expected;  // "LINE kind"
    };
    const Case cases[] = {
        {Edited("<keyswithoutshift/>", "<keyswithoutshif/>"), {"22 unknown-element"}},
        {Edited("<point x", "<piont x"), {"13 unknown-element"}},
        {Edited("vkey=\"8\"", "vkye=\"8\""), {"10 unknown-attribute"}},
        {Edited("vkey=\"8\"", "vkey=\"8x\""), {"10 not-a-number"}},
        {Edited("<point x=\"0\" y=\"0\"/>", "<point x=\"0\" y=\"zero\"/>"), {"13 not-a-number"}},
        {Edited("pressed=\"1\"", "pressed=\"99999999999\""), {"19 not-a-number"}},
        {Edited("<sound id=\"1\">", "<sound id=\"one\">"), {"5 not-a-number"}},
        {Edited("docked=\"true\"", "docked=\"yes\""), {"2 value-ignored"}},
        {Edited("<macro sound=\"1\">", "<macro sound=\"1.5\">"), {"17 value-ignored"}},
        {Edited("a.wav", "a\xE2\x86\x92.wav"), {"5 character-replaced"}},
        {Edited("name=\"k\"", "name=\"k\xF0\x9F\x98\x80\""), {"1 character-replaced"}},
        {Edited("<keyswithshift/>", "<keyswithshift/><!-- later -->"), {"23 comment-dropped"}},
        {Edited("<keyswithshift/>", "<keyswithshift/><?tool x?>"), {"23 instruction-dropped"}},
        {Edited("</sound>", "</sound><sound id=\"1\">b.wav</sound>"), {"5 sound-duplicate"}},
        {"<?xml version=\"1.0\"?>\n<keyboard name=\"x\"/>\n", {"2 root-not-keydef"}},
        // The declaration's own line, not the line of what stands before it.
        {"<?xml version=\"1.0\"?>\n\n<!DOCTYPE keydef>\n<keydef name=\"x\"/>\n",
         {"3 doctype-dropped"}},
        // Only the first hotspot is read.
        {Edited("<hotspot x=\"0\" y=\"0\"/>", "<hotspot x=\"0\" y=\"0\"/>\n<hotspot x=\"q\"/>"),
         {"4 unknown-element"}},
        // All text below a sound is its file name, text in an element too.
        {Edited("a.wav", "a<b>\xE2\x86\x92</b>.wav"),
         {"5 unknown-element", "5 character-replaced"}},
        // A "?" in the file is a "?", not a character replaced.
        {Edited("name=\"k\"", "name=\"k?\""), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        const CheckReport report = Check(c.xml);
        ASSERT_TRUE(report.readable) << report.error;
        EXPECT_EQ(ReaderFindings(report), c.expected);
    }
}

TEST_F(XmlCheckTest, MessagesNameTheNearestKnownNameAndWhatIsLost) {
    struct Case {
        std::string xml;
        std::string message;
    };
    const Case cases[] = {
        {Edited("vkey=\"8\"", "vkye=\"8\""),
         "attribute \"vkye\" of \"key\" is not read (did you mean \"vkey\"?)"},
        {Edited("<keyswithoutshift/>", "<Keyswithoutshift/>"),
         "element \"Keyswithoutshift\" in \"subkeydef\" is not read (did you mean "
         "\"keyswithoutshift\"?): it is dropped with everything in it"},
        {Edited("vkey=\"8\"", "colour=\"8\""), "attribute \"colour\" of \"key\" is not read"},
        {Edited("vkey=\"8\"", "vkey=\"8x\""), "key dropped: vkey=\"8x\" is not a number"},
        {Edited("a.wav", "a\xE2\x86\x92\xE2\x86\x92.wav"),
         "\"\xE2\x86\x92\" and 1 more characters in the text of \"sound\" have no Windows-1252 "
         "character: each is read as \"?\""},
        {Edited("</sound>", "</sound>\n<sound id=\"1\">b.wav</sound>"),
         "sound id 1 is defined again (first on line 5): the first wins"},
        {Edited("<dockrect", "<dockrect x1=\"1\"/><dockrect"),
         "element \"dockrect\" in \"subkeydef\" is not read: only the first one is, and this one "
         "is dropped with everything in it"},
        {"<!DOCTYPE keydef>\n<keydef/>",
         "document type declaration is not kept: a resave drops it"},
    };
    for (const Case& c : cases) {
        const CheckReport report = Check(c.xml);
        ASSERT_FALSE(report.findings.empty()) << c.xml;
        EXPECT_EQ(report.findings[0].message, c.message);
    }
}

TEST_F(XmlCheckTest, TheSchemaReportsWhatTheReaderAcceptsAtTheValidatorsLine) {
    // "+1" reads as 1, but the writer never writes it.
    const CheckReport report = Check(Edited("vkey=\"8\"", "vkey=\"+8\""));
    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(report.findings[0].line, 10u);
    EXPECT_EQ(report.findings[0].kind, "schema");
    EXPECT_NE(report.findings[0].message.find("'vkey'"), std::string::npos)
        << report.findings[0].message;
    // An attribute's finding is at its element's line, the end of its start tag.
    const CheckReport spread = Check(Edited("<key sound=\"1\" type=\"1\" vkey=\"8\">",
                                            "<key vkey=\"+8\"\n\t\t\t\tsound=\"1\" type=\"1\">"));
    ASSERT_EQ(spread.findings.size(), 1u);
    EXPECT_EQ(spread.findings[0].line, 11u);
    // A second panel image of the same state.
    const CheckReport images = Check(Edited(
        "\t\t<sound", "\t\t<jpeg type=\"normal\">a</jpeg><jpeg type=\"normal\">b</jpeg><sound"));
    ASSERT_EQ(images.findings.size(), 1u);
    EXPECT_EQ(images.findings[0].line, 5u);
    EXPECT_EQ(images.findings[0].kind, "schema");
}

TEST_F(XmlCheckTest, LinesPastTheParsersShortCounterAreExact) {
    const CheckReport report = Check(Edited(
        "\t\t<keyswithshift/>",
        std::string(70000, '\n') + "\t\t<keyswithshift bogus=\"1\"/><!-- x -->\n<?tool y?>"));
    std::vector<std::string> found;
    for (const Finding& finding : report.findings) {
        found.push_back(std::to_string(finding.line) + " " + finding.kind);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"70023 unknown-attribute", "70023 comment-dropped",
                                               "70023 schema", "70024 instruction-dropped"}));
}

TEST_F(XmlCheckTest, RunningOutOfMemorySaysSo) {
    {
        // Each of libxml2's allocations fails in turn, for a file that is not
        // validated (libxml2's validator itself does not survive that): the
        // report is whole, or says that memory ran out (never that the file
        // refers to an entity).
        const std::string other = "<?xml version=\"1.0\"?>\n<other a=\"1\"><b>t</b></other>\n";
        FailingLibxmlAllocator allocator;
        for (long failing = 1;; ++failing) {
            FailingLibxmlAllocator::FailNth(failing);
            const CheckReport report = Check(other);
            const bool failed_one = FailingLibxmlAllocator::Countdown() == 0;
            FailingLibxmlAllocator::FailNth(0);
            if (!report.readable) {
                EXPECT_EQ(report.error, "out of memory") << failing;
            }
            if (!failed_one) break;
        }
    }
    // Each allocation of the schema's findings fails in turn: they are made
    // inside libxml2, which no exception may cross, so the validation says
    // that memory ran out instead.
    const std::string xml = Edited("vkey=\"8\"", "vkey=\"+8\"");
    ASSERT_EQ(Check(xml).findings.size(), 1u);  // the schema is compiled by now
    const ParsedXml parsed = ParseWithLines(xml);
    ASSERT_NE(parsed.doc, nullptr);
    for (long failing = 1;; ++failing) {
        CheckReport report;
        bool threw = false;
        FailNthNew(failing);
        try {
            (void)ValidateKeyboardSchema(parsed.doc.get(), report);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        const bool failed_one = NewCountdown() == 0;
        FailNthNew(0);
        EXPECT_FALSE(threw) << failing;
        if (!failed_one) break;
        ASSERT_FALSE(report.findings.empty());
        EXPECT_EQ(report.findings.back().message, "the file could not be validated: out of memory");
    }
}

TEST_F(XmlCheckTest, UnreadableFilesSayWhyAndWhere) {
    struct Case {
        std::string xml;
        std::size_t line;
        std::string error_start;
    };
    const Case cases[] = {
        {"<keydef name=\"k\">\n<subkeydef>\n</keydef>\n", 3, "not well-formed: "},
        {"", 1, "not well-formed: "},
        {"<!DOCTYPE keydef [<!ENTITY e \"x\">]>\n<keydef name=\"&e;\"/>\n", 0, "not readable: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        const CheckReport report = Check(c.xml);
        EXPECT_FALSE(report.readable);
        EXPECT_EQ(report.error_line, c.line);
        EXPECT_EQ(report.error.substr(0, c.error_start.size()), c.error_start) << report.error;
        EXPECT_TRUE(report.findings.empty());
    }
}

TEST_F(XmlCheckTest, TheConvertedExampleIsClean) {
    KeyDefDocument document;
    ASSERT_TRUE(ReadKbdFile(DRAVONIX_SOURCE_DIR "/examples/compact_pad.kbd", document.keydef));
    std::string xml;
    ASSERT_TRUE(SaveToText(document, &xml));
    const CheckReport report = Check(xml);
    ASSERT_TRUE(report.readable);
    EXPECT_TRUE(report.findings.empty()) << FormatFinding("pad.xml", report.findings[0]);
    EXPECT_EQ(FormatSummary("pad.xml", report),
              "pad.xml: 2 panels, 20 keys, 2 macros, 4 sounds; 0 warnings (read as XML)");
    EXPECT_TRUE(Check(kClean).findings.empty());
}

TEST(ChooseReader, KbdNamesThenXmlContent) {
    struct Case {
        const char* path;
        std::string bytes;
        InputKind expected;
    };
    const Case cases[] = {
        {"pad.kbd", "<keydef/>", InputKind::kKbd},
        {"PAD.KbD", "", InputKind::kKbd},
        {"pad.xml", " \r\n\t<keydef/>", InputKind::kXml},
        {"pad", "\xEF\xBB\xBF<keydef/>", InputKind::kXml},
        {"pad.xml", "<!-- x -->\n[KEYDEF]\n", InputKind::kKbd},
        {"pad.xml", "[KEYDEF]\n", InputKind::kKbd},
        {"pad.xml", "", InputKind::kXml},
        {"kbd", "x", InputKind::kKbd},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseReader(c.path, c.bytes), c.expected) << c.path << " " << c.bytes;
    }
}

}  // namespace dravonix
