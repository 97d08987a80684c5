// The media findings of the check, for a legacy keyboard and an XML keyboard
// file that name the same files: each at the line that names it.
#include "check/media_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_file.h"
#include "platform/com.h"
#include "testing/memory_file_system.h"

namespace dravonix {

namespace {

// Each finding as "LINE [kind] message".
std::vector<std::string> Lines(const CheckReport& report) {
    std::vector<std::string> lines;
    for (const Finding& finding : report.findings) {
        lines.push_back(std::to_string(finding.line) + " [" + finding.kind + "] " +
                        finding.message);
    }
    return lines;
}

}  // namespace

TEST(MediaCheck, ReportsWhatAConvertedKeyboardWouldMissAtItsLine) {
    ASSERT_TRUE(Succeeded(CoInitialize(nullptr)));
    MemoryFileSystem files;
    files.AddFile("/kbd/images/pad.jpg", "x");
    files.AddFile("/kbd/images/pressed.jpg", "x");
    files.AddFile("/kbd/images/huge.bmp", std::string(kMaxImageBytes + 1, 'x'));
    files.AddFile("/kbd/sounds/click.wav", std::string(kMaxImageBytes + 1, 'x'));  // no limit
    files.AddFile("/outside.wav", "x");
    files.AddFile("/kbd/pad.kbd",
                  "[KEYDEF]\n"
                  "Media Pad\n"
                  "xres=640\n"
                  "normal jpeg=images\\pad.jpg\n"
                  "pressed jpeg=Images\\Pressed.JPG\n"
                  "[SOUNDS]\n"
                  "1=sounds\\click.wav\n"
                  "2=sounds\\gone.wav\n"
                  "3=..\\outside.wav\n"
                  "4=sounds\n"
                  "[/SOUNDS]\n"
                  "[/KEYDEF]\n"
                  "[KEYDEF]\n"
                  "xres=800\n"
                  "normal jpeg=images\\huge.bmp\n"
                  "pressed jpeg=images\\gone.jpg\n"
                  "pressed jpeg=images\\pad.jpg\n"
                  "[SOUNDS]\n"
                  "2=sounds\\gone.wav\n"
                  "[/SOUNDS]\n"
                  "[/KEYDEF]\n");
    files.AddFile("/kbd/pad.xml",
                  "<keydef name=\"Media Pad\">\n"
                  "<subkeydef name=\"640\">\n"
                  "<jpeg type=\"normal\">images\\gone.jpg</jpeg>\n"
                  "<jpeg type=\"normal\">images\\pad.jpg</jpeg>\n"
                  "<jpeg type=\"pressed\">Images\\Pressed.JPG</jpeg>\n"
                  "<dockbackground type=\"2\" filename=\"images\\dock.bmp\"/>\n"
                  "<sound id=\"1\">sounds\\click.wav</sound>\n"
                  "<sound id=\"2\">sounds\\gone.wav</sound>\n"
                  "<sound id=\"2\">sounds\\click.wav</sound>\n"
                  "</subkeydef>\n"
                  "</keydef>\n");
    CheckReport report;
    CheckFile("/kbd/pad.kbd", report, files);
    EXPECT_EQ(report.reader, InputKind::kKbd);
    EXPECT_EQ(Lines(report),
              (std::vector<std::string>{
                  "5 [media-case] pressed image \"Images\\Pressed.JPG\" is there only as "
                  "\"images\\pressed.jpg\": systems that tell letter case apart do not find it",
                  "8 [media-missing] sound 2 \"sounds\\gone.wav\" is missing (named again on "
                  "line 19)",
                  "9 [media-refused] sound 3 \"..\\outside.wav\" leads outside the keyboard's "
                  "folder: dravonix-batch copies it only from inside the folder it converts",
                  "10 [media-refused] sound 4 \"sounds\" is not a regular file: dravonix-batch "
                  "does not copy it",
                  "15 [media-refused] image \"images\\huge.bmp\" is larger than 32 MiB: the "
                  "picture does not show it",
              }));

    CheckFile("/kbd/pad.xml", report, files);
    EXPECT_EQ(report.reader, InputKind::kXml);
    std::vector<std::string> media;
    for (const std::string& line : Lines(report)) {
        if (line.find("[media-") != std::string::npos) media.push_back(line);
    }
    EXPECT_EQ(media, (std::vector<std::string>{
                         "5 [media-case] pressed image \"Images\\Pressed.JPG\" is there only as "
                         "\"images\\pressed.jpg\": systems that tell letter case apart do not "
                         "find it",
                         "6 [media-missing] dock background \"images\\dock.bmp\" is missing",
                         "8 [media-missing] sound 2 \"sounds\\gone.wav\" is missing",
                     }));
    CoUninitialize();
}

}  // namespace dravonix
