#include "kbd/header_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace dravonix {

namespace {

struct HeaderCase {
    std::string line;
    std::string name;
    std::string normal;
    std::string pressed;
};

class HeaderKeysTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderKeysTest, SetsPanel) {
    SubKeyDefinition panel;
    panel.name = "old";
    panel.jpegnormal = "n.jpg";
    panel.jpegpressed = "p.jpg";
    HandleHeaderLine(GetParam().line, panel);
    EXPECT_EQ(panel.name, GetParam().name);
    EXPECT_EQ(panel.jpegnormal, GetParam().normal);
    EXPECT_EQ(panel.jpegpressed, GetParam().pressed);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HeaderKeysTest,
    ::testing::Values(HeaderCase{"xres=800", "800", "n.jpg", "p.jpg"},
                      HeaderCase{"xres 800", "800", "n.jpg", "p.jpg"},
                      HeaderCase{"xres=0800", "800", "n.jpg", "p.jpg"},
                      HeaderCase{"xres:-5", "-5", "n.jpg", "p.jpg"},
                      HeaderCase{"xres= 1024x", "1024", "n.jpg", "p.jpg"},
                      HeaderCase{"xres = 800", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"xres=0", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"xres=", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"xres", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"xres=99999999999", "2147483647", "n.jpg", "p.jpg"},
                      HeaderCase{"xres=-99999999999", "-2147483648", "n.jpg", "p.jpg"},
                      HeaderCase{"XRES=800", "old", "n.jpg", "p.jpg"},
                      HeaderCase{" xres=800", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"minout=3", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"normal jpeg=a.jpg", "old", "a.jpg", "p.jpg"},
                      HeaderCase{"normal jpeg=  a b.jpg", "old", "a", "p.jpg"},
                      HeaderCase{"normal jpeg = a.jpg", "old", "=", "p.jpg"},
                      HeaderCase{"normal jpeg=", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"normal jpeg=   ", "old", "n.jpg", "p.jpg"},
                      HeaderCase{"pressed jpeg=b.jpg", "old", "n.jpg", "b.jpg"},
                      HeaderCase{"pressed jpegXc:\\x.jpg", "old", "n.jpg", "c:\\x.jpg"},
                      HeaderCase{"Normal jpeg=a.jpg", "old", "n.jpg", "p.jpg"}));

TEST(HeaderKeysTest, ImagePathIsKeptWhole) {
    const std::string path(5000, 'p');
    SubKeyDefinition panel;
    HandleHeaderLine("normal jpeg=" + path, panel);
    EXPECT_EQ(panel.jpegnormal, path);
}

}  // namespace

}  // namespace dravonix
