// Parsing on POSIX systems: a document that names another file never opens
// it, as inotify sees (the parser's options are the same on every platform).
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "dom/xml_parse.h"
#include "testing/com_test.h"

namespace dravonix {

namespace {

using XmlParsePosixTest = ComTest;

// Replaces every "@" in pattern with path.
std::string WithPath(std::string_view pattern, const std::string& path) {
    std::string out;
    for (char c : pattern) {
        if (c == '@') {
            out += path;
        } else {
            out += c;
        }
    }
    return out;
}

// A document naming another file must neither open it nor carry its content.
TEST_F(XmlParsePosixTest, DocumentsNeverReachOtherFiles) {
    char path[] = "/tmp/xmlparse_secret_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    std::string secret = "<!ENTITY e 'SECRET'><!ATTLIST a d CDATA 'SECRET'>SECRET";
    ASSERT_EQ(write(fd, secret.data(), secret.size()), static_cast<ssize_t>(secret.size()));
    close(fd);
    int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, path, IN_OPEN | IN_ACCESS), 0);

    for (std::string_view pattern : {
             "<!DOCTYPE a [<!ENTITY e SYSTEM '@'>]><a>&e;</a>",
             "<!DOCTYPE a [<!ENTITY e SYSTEM 'file://@'>]><a>&e;</a>",
             "<!DOCTYPE a [<!ENTITY e SYSTEM '@'>]><a x='&e;'/>",
             "<!DOCTYPE a [<!ENTITY e SYSTEM '@'>]><a/>",
             "<!DOCTYPE a [<!ENTITY % p SYSTEM '@'> %p;]><a>&e;</a>",
             "<!DOCTYPE a [<!ENTITY % p SYSTEM '@'> %p;]><a/>",
             "<!DOCTYPE a SYSTEM '@'><a/>",
             "<!DOCTYPE a SYSTEM '@'><a>&e;</a>",
             "<!DOCTYPE a PUBLIC '-//X//EN' '@'><a/>",
             "<a xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='@' "
             "parse='text'/></a>",
             "<?xml-stylesheet href='@'?><a/>",
         }) {
        std::string xml = WithPath(pattern, path);
        DomDocument document;
        HRESULT status = ParseXmlMemory(xml, &document);
        if (Succeeded(status)) {
            std::string saved;
            ASSERT_EQ(document.SaveToString(&saved), S_OK);
            EXPECT_EQ(saved.find("SECRET"), std::string::npos) << xml;
        }
        char events[4096];
        EXPECT_LT(read(watch, events, sizeof events), 0) << "file opened for " << xml;
    }
    close(watch);
    std::remove(path);
}

}  // namespace

}  // namespace dravonix
