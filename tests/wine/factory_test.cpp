#include <gtest/gtest.h>

#include "loaded_module.h"

TEST(Factory, ExportReturnsOneFactoryWithoutNameOrQueries)
{
    const GetTinyFactoryFn get = TinyFactoryExport();
    ASSERT_NE(get, nullptr);
    brin::ITinyFactory* factory = get();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(get(), factory);
    EXPECT_EQ(factory->GetName(), nullptr);
    EXPECT_EQ(factory->Query(nullptr), nullptr);
    EXPECT_EQ(factory->Query(factory), nullptr);
}
