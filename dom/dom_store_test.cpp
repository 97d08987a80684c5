// The node store when memory runs out: a failed allocation leaves every
// structure as it was, so the document stays usable.
#include "dom/dom_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>

#include "testing/failing_allocation.h"

namespace dravonix {

namespace {

using dom::kNone;
using dom::Store;

TEST(StoreAllocation, AFailedChunkAllocationChangesNothing) {
    const struct {
        std::size_t chunks_allowed;
        bool creation_fails;
    } cases[] = {
        {0, true},   // no chunk for the next node: creating it fails
        {1, false},  // no spare chunk to prepare ahead: the next is allocated when needed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chunks_allowed);
        Store* store = new Store();
        store->Materialize();  // chunks of records, not the compact log
        const DomDocument document = Store::MakeDocument(store);
        std::uint32_t index = 0;
        while (store->size() < 262144) {  // one chunk, the document node included
            ASSERT_EQ(store->NewNode(NODE_ELEMENT, store->InternName("e"), &index), S_OK);
        }
        store->set_chunk_allocation_limit(c.chunks_allowed);
        bool failed = false;
        try {
            (void)store->NewNode(NODE_TEXT, kNone, &index);  // the status is not reached on failure
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        EXPECT_EQ(failed, c.creation_fails);
        store->set_chunk_allocation_limit(SIZE_MAX);
        DomNode text;
        ASSERT_EQ(document.CreateNode(NODE_TEXT, {}, &text), S_OK);
        ASSERT_EQ(text.PutText("probe"), S_OK);
        DOMNodeType type = NODE_INVALID;
        ASSERT_EQ(text.get_nodeType(&type), S_OK);
        EXPECT_EQ(type, NODE_TEXT);
        Variant value;
        ASSERT_EQ(text.get_nodeTypedValue(&value), S_OK);
        EXPECT_EQ(value.bstrVal, u"probe");
    }
}

TEST(StoreAllocation, AFailedInternChangesNothing) {
    // The 65th name makes every table of names grow; each of its allocations
    // fails in turn until none is left to fail.
    const std::string name(40, 'x');  // too long to be kept without an allocation
    for (long failing = 1;; ++failing) {
        SCOPED_TRACE(failing);
        Store store;
        for (std::uint32_t i = 0; i < 64; ++i) {
            std::string other(1, 'n');
            other += std::to_string(i);
            ASSERT_EQ(store.InternName(other), i);
        }
        bool failed = false;
        FailNthNew(failing);
        try {
            (void)store.InternName(name);
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        FailNthNew(0);
        if (!failed) break;
        EXPECT_EQ(store.FindName(name), kNone);
        EXPECT_EQ(store.InternXmlName(name), 64u) << "the next id";
        EXPECT_EQ(store.InternXmlName("n63"), 63u);
        EXPECT_EQ(store.InternXmlName("later"), 65u);
        EXPECT_EQ(store.NameOf(64), name);
    }
}

}  // namespace

}  // namespace dravonix
