#include "xml/xml_observer.h"

namespace dravonix {

std::string_view XmlIssueName(XmlIssue kind) {
    switch (kind) {
        case XmlIssue::kUnknownElement:
            return "unknown-element";
        case XmlIssue::kUnknownAttribute:
            return "unknown-attribute";
        case XmlIssue::kNotANumber:
            return "not-a-number";
        case XmlIssue::kValueIgnored:
            return "value-ignored";
        case XmlIssue::kCharacterReplaced:
            return "character-replaced";
        case XmlIssue::kCommentDropped:
            return "comment-dropped";
        case XmlIssue::kInstructionDropped:
            return "instruction-dropped";
        case XmlIssue::kDoctypeDropped:
            return "doctype-dropped";
        case XmlIssue::kSoundDuplicate:
            return "sound-duplicate";
        case XmlIssue::kRootNotKeydef:
            return "root-not-keydef";
    }
    return "unknown";
}

}  // namespace dravonix
