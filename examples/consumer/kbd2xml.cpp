// kbd2xml INPUT.kbd OUTPUT.xml: converts a legacy keyboard file with the
// dravonix library and prints what it read.
#include <cstdio>

#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/com.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kbd2xml INPUT.kbd OUTPUT.xml\n");
        return 2;
    }
    // The XML document needs the COM runtime; starting it cannot fail.
    (void)dravonix::CoInitialize(nullptr);
    bool converted = false;
    {
        dravonix::KeyDefDocument document;
        if (dravonix::ReadKbdFile(argv[1], document.keydef) && document.SaveToFile(argv[2])) {
            std::printf("%s: \"%s\", %zu panel(s)\n", argv[2], document.keydef.name.c_str(),
                        document.keydef.subkeydef.size());
            converted = true;
        }
    }  // the document lets go of its XML nodes before the runtime stops
    dravonix::CoUninitialize();
    return converted ? 0 : 1;
}
