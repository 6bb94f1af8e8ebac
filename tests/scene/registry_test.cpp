#include <gtest/gtest.h>

#include "scene/name_pool.h"
#include "scene/object_class.h"
#include "scene_bytes.h"

namespace orva {
namespace {

TEST(ObjectClassRegistryTest, ChainRunsFromTheLastRegisteredClass) {
    std::vector<int32_t> ids;
    for (const CObjectClass* c = ObjectClassRegistry(); c != nullptr; c = c->next) {
        ids.push_back(c->typeId);
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{90, 3, 5, 4, 99, 2, 32}));
    for (int32_t id : ids) {
        EXPECT_EQ(FindObjectClass(id)->Create()->GetTypeId(), id);
    }
    EXPECT_EQ(FindObjectClass(7), nullptr);
}

TEST(ReadObjectTest, UnregisteredTypeIdConsumesOnlyItsOwnFourBytes) {
    CMemorySink sink;
    CByteWriter out(sink);
    out.WriteInt32(1234);
    out.WriteByte('!');
    CByteReader in(sink.data);
    EXPECT_EQ(ReadObject(in), nullptr);
    EXPECT_EQ(in.Offset(), 5);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.ReadByte(), '!');
}

TEST(NamePoolTest, CapacityGrowsByTheCountWhenFull) {
    CNamePool pool;
    EXPECT_EQ(pool.Capacity(), 10u);
    std::vector<const char*> texts;
    for (int i = 0; i < 10; ++i) {
        texts.push_back(pool.RegisterName("name" + std::to_string(i)));
    }
    EXPECT_EQ(pool.Capacity(), 10u);
    pool.RegisterNoName();  // the eleventh entry, an absent name
    EXPECT_EQ(pool.Count(), 11u);
    EXPECT_EQ(pool.Capacity(), 20u);
    // Growing the array never moves the texts objects point at.
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(texts[static_cast<size_t>(i)], ("name" + std::to_string(i)).c_str());
    }
    for (int i = 0; i < 10; ++i) {
        pool.RegisterName("more");
    }
    EXPECT_EQ(pool.Capacity(), 40u);  // full at 20, grown by 20
}

}  // namespace
}  // namespace orva
