// palmet_schema_test.cpp - the profile calls' schema parser.
#include "schema.h"

#include <gtest/gtest.h>

#include <string>

using palmet::FieldType;
using palmet::ParseSchema;
using palmet::SchemaField;

TEST(PalmetSchema, ParsesTheFourSchemasOfTheLibrary)
{
    std::vector<SchemaField> f;
    ASSERT_TRUE(ParseSchema("int,id;str,20,Target;str,20,Password;", f));
    ASSERT_EQ(3u, f.size());
    EXPECT_EQ(FieldType::Int, f[0].type);
    EXPECT_EQ("id", f[0].name);
    EXPECT_EQ(FieldType::Str, f[1].type);
    EXPECT_EQ(20u, f[1].size);
    EXPECT_EQ("Target", f[1].name);
    EXPECT_EQ("Password", f[2].name);

    ASSERT_TRUE(ParseSchema("int,id;str,20,Target", f));
    ASSERT_EQ(2u, f.size());
    EXPECT_EQ("Target", f[1].name);

    ASSERT_TRUE(ParseSchema("str,20,Password", f));
    ASSERT_EQ(1u, f.size());
    EXPECT_EQ(20u, f[0].size);

    ASSERT_TRUE(ParseSchema("str,Password", f));
    ASSERT_EQ(1u, f.size());
    EXPECT_EQ(FieldType::Str, f[0].type);
    EXPECT_EQ(0u, f[0].size);
    EXPECT_EQ("Password", f[0].name);
}

TEST(PalmetSchema, RefusesMalformedSchemasAndLeavesNoFields)
{
    const char *bad[] = {
        "",                    // nothing
        ";",                   // only an empty descriptor
        "int,id;;str,Target",  // empty descriptor inside
        "int,id;;",            // two trailing separators
        "long,id",             // unknown type
        "int",                 // no name
        "int,",                // empty name
        "int,20,id",           // int with a size
        "str,0,Target",        // size 0
        "str,-5,Target",       // not decimal
        "str,2x,Target",       // not decimal
        "str,99999,Target",    // above the limit
        "str,20,Target,extra", // too many parts
        "str,20,",             // empty name with size
        "int,a=b",             // '=' cannot be in a key
        "int,[id]",            // brackets cannot be in a key
        "int, id",             // blank around the name
        "Int,id",              // type words are lower case
    };
    for (const char *schema : bad) {
        std::vector<SchemaField> f(1);
        EXPECT_FALSE(ParseSchema(schema, f)) << schema;
        EXPECT_TRUE(f.empty()) << schema;
    }
    std::vector<SchemaField> f;
    EXPECT_FALSE(ParseSchema(nullptr, f));
}

TEST(PalmetSchema, EnforcesFieldCountAndLengthLimits)
{
    std::string schema;
    for (size_t i = 0; i < palmet::kMaxSchemaFields; ++i)
        schema += "int,f" + std::to_string(i) + ";";
    std::vector<SchemaField> f;
    EXPECT_TRUE(ParseSchema(schema.c_str(), f));
    EXPECT_EQ(palmet::kMaxSchemaFields, f.size());
    schema += "int,one_more";
    EXPECT_FALSE(ParseSchema(schema.c_str(), f));

    EXPECT_TRUE(ParseSchema(("int," + std::string(palmet::kMaxFieldName, 'n')).c_str(), f));
    EXPECT_FALSE(ParseSchema(("int," + std::string(palmet::kMaxFieldName + 1, 'n')).c_str(), f));
    EXPECT_TRUE(ParseSchema("str,4096,Big", f));
    EXPECT_FALSE(ParseSchema("str,4097,Big", f));
    // A double-byte name (密码 in GBK) is a valid key.
    ASSERT_TRUE(ParseSchema("str,20,\xC3\xDC\xC2\xEB", f));
    EXPECT_EQ("\xC3\xDC\xC2\xEB", f[0].name);
}
