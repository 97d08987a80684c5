// Taking libxml2's error reports for the length of one parse. libxml2 keeps
// its handlers per thread, so parses on other threads, and a program's own
// handlers, are left alone.
#pragma once

#include <libxml/globals.h>
#include <libxml/xmlerror.h>

namespace dravonix {

/// For the life of the object, sends the calling thread's libxml2 error
/// reports to record (with context) and its free-text messages, which it
/// writes to standard error even when asked not to report, nowhere; then
/// gives the thread back the handlers it had. record runs inside libxml2 and
/// must not throw.
class LibxmlErrorScope {
public:
    LibxmlErrorScope(void* context, xmlStructuredErrorFunc record)
        : generic_(xmlGenericError),
          generic_context_(xmlGenericErrorContext),
          structured_(xmlStructuredError),
          structured_context_(xmlStructuredErrorContext) {
        xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
        xmlSetStructuredErrorFunc(context, record);
    }
    LibxmlErrorScope(const LibxmlErrorScope&) = delete;
    LibxmlErrorScope& operator=(const LibxmlErrorScope&) = delete;
    ~LibxmlErrorScope() {
        xmlSetGenericErrorFunc(generic_context_, generic_);
        xmlSetStructuredErrorFunc(structured_context_, structured_);
    }

private:
    static void IgnoreMessage(void*, const char*, ...) {}

    xmlGenericErrorFunc generic_;
    void* generic_context_;
    xmlStructuredErrorFunc structured_;
    void* structured_context_;
};

}  // namespace dravonix
