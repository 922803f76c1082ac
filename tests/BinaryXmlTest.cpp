#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "rows/BinaryXml.h"
#include "rows/BinaryXmlFormat.h"
#include "tests/BinaryXmlEncoder.h"

namespace orodorev::test {
namespace {

namespace bx = binxml;

constexpr char16_t kXmlNamespace[] = u"http://www.w3.org/XML/1998/namespace";

std::optional<std::string> decode(const std::vector<uint8_t>& bytes) {
  return decodeBinaryXml(bytes);
}

TreeName named(std::u16string local) { return TreeName{u"", std::move(local), u""}; }

// The document example of the format's description: a root element holding a
// processing instruction and a comment between whitespace text.
const std::vector<uint8_t> kDocumentExample = {
    0xDF, 0xFF, 0x01, 0xB0, 0x04,                                      // header
    0xF0, 0x04, 'r', 0, 'o', 0, 'o', 0, 't', 0,                        // name 1 "root"
    0xEF, 0x00, 0x00, 0x01,                                            // qname 1
    0xF8, 0x01,                                                        // <root>
    0x11, 0x02, 0x0A, 0x00, 0x09, 0x00,                                // "\n\t"
    0xF0, 0x02, 'p', 0, 'i', 0,                                        // name 2 "pi"
    0xF4, 0x02, 0x04, 't', 0, 'e', 0, 'x', 0, 't', 0,                  // <?pi text?>
    0x11, 0x02, 0x0A, 0x00, 0x09, 0x00,                                // "\n\t"
    0xF3, 0x07, 'c', 0, 'o', 0, 'm', 0, 'm', 0, 'e', 0, 'n', 0, 't', 0,  // <!--comment-->
    0x11, 0x01, 0x0A, 0x00,                                            // "\n"
    0xF7};                                                             // </root>
const char kDocumentExampleText[] = "<root>\n\t<?pi text?>\n\t<!--comment-->\n</root>";

// The names example: <prefix:localName xmlns:prefix="ns"/>, token by token.
std::vector<uint8_t> namesExample() {
  BinaryXmlWriter writer;
  const uint32_t ns = writer.defineName(u"ns");
  const uint32_t prefix = writer.defineName(u"prefix");
  const uint32_t local = writer.defineName(u"localName");
  writer.element(writer.defineQName(ns, prefix, local));
  const uint32_t declaration = writer.defineName(u"xmlns:prefix");
  writer.attribute(writer.defineQName(0, declaration, 0));
  writer.nvarchar(u"ns").endAttributes().endElement();
  return writer.bytes();
}

// <root> ... </root> around whatever `content` writes.
std::vector<uint8_t> withRoot(const std::function<void(BinaryXmlWriter&)>& content,
                              uint8_t version = 1) {
  BinaryXmlWriter writer(version);
  writer.element(writer.defineQName(0, 0, writer.defineName(u"root")));
  content(writer);
  writer.endElement();
  return writer.bytes();
}

std::vector<uint8_t> withValue(const EncodedValue& value, uint8_t version = 1) {
  return withRoot([&](BinaryXmlWriter& writer) { writer.value(value); }, version);
}

std::vector<uint8_t> utf16(std::u16string_view text) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

// nchar, nvarchar or ntext: length in code units, then UTF-16LE.
EncodedValue unicodeValue(uint8_t token, std::u16string_view text) {
  EncodedValue value{token, multiByte(text.size())};
  auto bytes = utf16(text);
  value.payload.insert(value.payload.end(), bytes.begin(), bytes.end());
  return value;
}

EncodedValue uuidValue() {
  EncodedValue value{bx::kSqlUuid, {}};
  for (int k = 0; k < 16; ++k) value.payload.push_back(static_cast<uint8_t>(k * 0x11));
  return value;
}

EncodedValue withMarkerBits(EncodedValue value, uint8_t bits) {
  value.payload[0] = static_cast<uint8_t>((value.payload[0] & ~3) | bits);
  return value;
}

TEST(BinaryXmlExamples, DocumentExample) {
  EXPECT_EQ(decode(kDocumentExample), kDocumentExampleText);
}

TEST(BinaryXmlExamples, NamesExample) {
  EXPECT_EQ(decode(namesExample()), "<prefix:localName xmlns:prefix=\"ns\" />");
}

struct ValueCase {
  const char* what;
  EncodedValue value;
  const char* text;
  uint8_t version = 1;
};

std::vector<ValueCase> valueCases() {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<uint8_t> maxDecimal = {0xFF, 0xFF, 0xFF, 0xFF, 0x3F, 0x22, 0x8A, 0x09,
                                           0x7A, 0xC4, 0x86, 0x5A, 0xA8, 0x4C, 0x3B, 0x4B};
  const std::vector<uint8_t> value20003 = {0x5E, 0x0D, 0x03, 0x00};  // 200030
  return {
      {"bit", fixedValue(bx::kSqlBit, 1, 1), "1"},
      {"tinyint", fixedValue(bx::kSqlTinyInt, 255, 1), "255"},
      {"smallint", fixedValue(bx::kSqlSmallInt, 0xFFFE, 2), "-2"},
      {"int", fixedValue(bx::kSqlInt, 0x80000000, 4), "-2147483648"},
      {"bigint", fixedValue(bx::kSqlBigInt, 0x7FFFFFFFFFFFFFFF, 8), "9223372036854775807"},
      {"xs:byte", fixedValue(bx::kXsdByte, 0xFF, 1), "-1"},
      {"xs:unsignedShort", fixedValue(bx::kXsdUnsignedShort, 0xFFFF, 2), "65535"},
      {"xs:unsignedInt", fixedValue(bx::kXsdUnsignedInt, 0xFFFFFFFF, 4), "4294967295"},
      {"xs:unsignedLong", fixedValue(bx::kXsdUnsignedLong, ~0ull, 8), "18446744073709551615"},
      {"float", floatValue(1.5), "1.5E0"},
      {"float hundred", floatValue(100), "1E2"},
      {"float small", floatValue(0.001), "1E-3"},
      {"float negative", floatValue(-2.5e-10), "-2.5E-10"},
      {"float zero", floatValue(0), "0E0"},
      {"float infinity", floatValue(inf), "INF"},
      {"float minus infinity", floatValue(-inf), "-INF"},
      {"float not a number", floatValue(std::nan("")), "NaN"},
      {"real", realValue(0.1f), "1E-1"},
      {"real fraction", realValue(3.25f), "3.25E0"},
      {"money example", fixedValue(bx::kSqlMoney, 103001, 8), "10.3001"},
      {"money two decimals", fixedValue(bx::kSqlMoney, 100000, 8), "10.00"},
      {"money trailing zero", fixedValue(bx::kSqlMoney, 105000, 8), "10.50"},
      {"money negative", fixedValue(bx::kSqlMoney, static_cast<uint64_t>(-5), 8), "-0.0005"},
      {"money smallest", fixedValue(bx::kSqlMoney, 0x8000000000000000, 8),
       "-922337203685477.5808"},
      {"smallmoney", fixedValue(bx::kSqlSmallMoney, 12345, 4), "1.2345"},
      {"smallmoney negative", fixedValue(bx::kSqlSmallMoney, 0xFFFFD8F0, 4), "-1.00"},
      {"decimal example", decimalValue(bx::kSqlDecimal, 6, 4, true, value20003), "20.0030"},
      {"numeric negative", decimalValue(bx::kSqlNumeric, 6, 4, false, value20003), "-20.0030"},
      {"xs:decimal example", decimalValue(bx::kXsdDecimal, 6, 4, true, value20003), "20.003"},
      {"decimal below one", decimalValue(bx::kSqlDecimal, 10, 6, true, value20003), "0.200030"},
      {"xs:decimal zero", decimalValue(bx::kXsdDecimal, 10, 4, false, {0, 0, 0, 0}), "0"},
      {"xs:decimal whole", decimalValue(bx::kXsdDecimal, 5, 2, true, {0x10, 0x27, 0, 0}),
       "100"},
      {"decimal 38 digits", decimalValue(bx::kSqlDecimal, 38, 0, true, maxDecimal),
       "99999999999999999999999999999999999999"},
      {"uuid", uuidValue(), "33221100-5544-7766-8899-AABBCCDDEEFF"},
      {"varbinary", blobValue(bx::kSqlVarBinary, {'M', 'a', 'n'}), "TWFu"},
      {"binary one byte", blobValue(bx::kSqlBinary, {'M'}), "TQ=="},
      {"xs:base64Binary", blobValue(bx::kXsdBase64, {'M', 'a'}), "TWE="},
      {"image empty", blobValue(bx::kSqlImage, {}), ""},
      {"udt", blobValue(bx::kSqlUdt, {0xFF}), "/w=="},
      {"xs:hexBinary example", blobValue(bx::kXsdBinHex, {0x42, 0xAC, 0xEF}), "42ACEF"},
      {"boolean false", fixedValue(bx::kXsdBoolean, 0, 1), "false"},
      {"boolean true", fixedValue(bx::kXsdBoolean, 1, 1), "true"},
      {"boolean other", fixedValue(bx::kXsdBoolean, 7, 1), "true"},
      {"char 1252", codePageValue(bx::kSqlChar, 1252, {'c', 'a', 'f', 0xE9, 0x80}), "café€"},
      {"varchar utf-8", codePageValue(bx::kSqlVarChar, 65001, {0xC3, 0xA9}), "é"},
      {"text latin-1", codePageValue(bx::kSqlText, 28591, {0xFF}), "ÿ"},
      {"varchar ascii", codePageValue(bx::kSqlVarChar, 20127, {'a', 'b'}), "ab"},
      {"char utf-16", codePageValue(bx::kSqlChar, 1200, utf16(u"hi")), "hi"},
      {"varchar 932", codePageValue(bx::kSqlVarChar, 932, {0x82, 0xA0}), "あ"},
      {"nchar", unicodeValue(bx::kSqlNChar, u"Grüße"), "Grüße"},
      {"ntext surrogate pair", unicodeValue(bx::kSqlNText, u"\U0001F600"), "😀"},
      {"datetime base", sqlDateTimeValue(0, 0), "1900-01-01T00:00:00"},
      {"datetime earliest", sqlDateTimeValue(-53690, 0), "1753-01-01T00:00:00"},
      {"datetime one tick", sqlDateTimeValue(0, 1), "1900-01-01T00:00:00.003"},
      {"datetime two ticks", sqlDateTimeValue(0, 2), "1900-01-01T00:00:00.007"},
      {"datetime last tick", sqlDateTimeValue(0, 299), "1900-01-01T00:00:00.997"},
      {"datetime example hour", sqlDateTimeValue(0, 1080000), "1900-01-01T01:00:00"},
      {"datetime latest", sqlDateTimeValue(2958463, 25919999), "9999-12-31T23:59:59.997"},
      {"smalldatetime", smallDateTimeValue(0, 61), "1900-01-01T01:01:00"},
      {"smalldatetime latest", smallDateTimeValue(65535, 1439), "2079-06-06T23:59:00"},
      {"xs:dateTime", xsdDateTimeValue(2003, 11, 9, 10, 20, 30, 500), "2003-11-09T10:20:30.5Z"},
      {"xs:dateTime whole", xsdDateTimeValue(2000, 1, 1, 0, 0, 0, 0), "2000-01-01T00:00:00Z"},
      {"xs:dateTime milliseconds", xsdDateTimeValue(2000, 2, 29, 1, 2, 3, 123),
       "2000-02-29T01:02:03.123Z"},
      {"xs:dateTime negative year", xsdDateTimeValue(-44, 3, 15, 12, 0, 0, 0),
       "-0044-03-15T12:00:00Z"},
      {"xs:date example zone", xsdDateValue(2003, 11, 9, -270), "2003-11-09-04:30"},
      {"xs:date east zone", xsdDateValue(2003, 11, 9, 300), "2003-11-09+05:00"},
      {"xs:date utc", xsdDateValue(2003, 11, 9, 0), "2003-11-09Z"},
      {"xs:time", xsdTimeValue(10, 20, 30, 0), "10:20:30Z"},
      {"xs:time last", xsdTimeValue(23, 59, 59, 999), "23:59:59.999Z"},
      {"date first", date2Value(0), "0001-01-01", 2},
      {"date", date2Value(730119), "2000-01-01", 2},
      {"date last", date2Value(3652058), "9999-12-31", 2},
      {"datetime2 scale 7", timedValue(bx::kXsdDateTime2, 7, 452961234567, 730119),
       "2000-01-01T12:34:56.1234567", 2},
      {"datetime2 scale 3", timedValue(bx::kXsdDateTime2, 3, 45296120, 730119),
       "2000-01-01T12:34:56.12", 2},
      {"datetime2 scale 0", timedValue(bx::kXsdDateTime2, 0, 45296, 730119),
       "2000-01-01T12:34:56", 2},
      {"datetime2 past midnight", timedValue(bx::kXsdDateTime2, 0, 86400 + 3600, 730119),
       "2000-01-02T01:00:00", 2},
      {"time", timedValue(bx::kXsdTime2, 7, 452961234567, 693595), "12:34:56.1234567", 2},
      {"datetimeoffset", timedValue(bx::kXsdDateTimeOffset, 0, 27296, 730119, 300),
       "2000-01-01T12:34:56+05:00", 2},
      {"datetimeoffset next day", timedValue(bx::kXsdDateTimeOffset, 0, 79200, 730118, 300),
       "2000-01-01T03:00:00+05:00", 2},
      {"datetimeoffset day before", timedValue(bx::kXsdDateTimeOffset, 0, 7200, 730119, -210),
       "1999-12-31T22:30:00-03:30", 2},
      {"datetimeoffset utc", timedValue(bx::kXsdDateTimeOffset, 1, 5, 730119, 0),
       "2000-01-01T00:00:00.5Z", 2},
      {"dateoffset", timedValue(bx::kXsdDateOffset, 0, 0, 730119, -300), "2000-01-01-05:00", 2},
      {"timeoffset", timedValue(bx::kXsdTimeOffset, 0, 79200, 693595, 300), "03:00:00+05:00", 2},
      {"timeoffset west", timedValue(bx::kXsdTimeOffset, 0, 7200, 693595, -210),
       "22:30:00-03:30", 2},
  };
}

TEST(BinaryXmlValues, ElementAndAttributeTextOfEveryType) {
  for (const ValueCase& c : valueCases()) {
    SCOPED_TRACE(c.what);
    auto content = encodeTree({element(named(u"v"), {}, {valueNode(c.value)})}, c.version);
    EXPECT_EQ(decode(content), "<v>" + std::string(c.text) + "</v>");
    auto attribute = encodeTree({element(named(u"v"), {{named(u"a"), {c.value}}})}, c.version);
    EXPECT_EQ(decode(attribute), "<v a=\"" + std::string(c.text) + "\" />");
  }
}

TEST(BinaryXmlValues, QNameValueUsesTheQNameTable) {
  auto bytes = withRoot([](BinaryXmlWriter& writer) {
    const uint32_t uri = writer.defineName(u"urn:x");
    const uint32_t prefix = writer.defineName(u"p");
    const uint32_t qname = writer.defineQName(uri, prefix, writer.defineName(u"item"));
    writer.raw({bx::kXsdQName}).mb(qname);
  });
  EXPECT_EQ(decode(bytes), "<root>p:item</root>");
}

struct EscapeCase {
  std::u16string input;
  const char* inText;
  const char* inAttribute;
};

TEST(BinaryXmlText, EscapesTextAndAttributes) {
  const EscapeCase cases[] = {
      {u"a<b&c>d", "a&lt;b&amp;c&gt;d", "a&lt;b&amp;c&gt;d"},
      {u"say \"hi\" 'there'", "say \"hi\" 'there'", "say &quot;hi&quot; 'there'"},
      {u"line\r\nnext", "line&#x0D;\nnext", "line&#x0D;&#x0A;next"},
      {u"tab\there", "tab\there", "tab&#x09;here"},
      {u"plain", "plain", "plain"},
  };
  for (const EscapeCase& c : cases) {
    SCOPED_TRACE(c.inText);
    auto bytes = encodeTree({element(named(u"e"), {{named(u"a"), {nvarcharValue(c.input)}}},
                                     {valueNode(nvarcharValue(c.input))})});
    EXPECT_EQ(decode(bytes),
              std::string("<e a=\"") + c.inAttribute + "\">" + c.inText + "</e>");
  }
}

struct TreeCase {
  const char* what;
  std::vector<TreeNode> tree;
  const char* text;
  uint8_t version = 1;
};

std::vector<TreeCase> treeCases() {
  const TreeName p{u"p", u"e", u"urn:p"};
  const TreeName declareP{u"xmlns:p", u"", u""};
  const TreeName declareDefault{u"xmlns", u"", u""};
  const TreeName inDefault{u"", u"e", u"urn:d"};
  auto text = [](std::u16string value) { return valueNode(nvarcharValue(value)); };
  auto number = [](uint32_t value) { return valueNode(fixedValue(bx::kSqlInt, value, 4)); };
  return {
      {"nested elements",
       {element(named(u"root"), {{named(u"id"), {fixedValue(bx::kSqlInt, 7, 4)}}},
                {element(named(u"child"), {}, {text(u"x")}), element(named(u"empty"))})},
       "<root id=\"7\"><child>x</child><empty /></root>"},
      {"explicit prefix declaration",
       {element(p, {{declareP, {nvarcharValue(u"urn:p")}}})},
       "<p:e xmlns:p=\"urn:p\" />"},
      {"missing default declaration added",
       {element(inDefault, {}, {element(named(u"f"))})},
       "<e xmlns=\"urn:d\"><f xmlns=\"\" /></e>"},
      {"declared default inherited",
       {element(inDefault, {{declareDefault, {nvarcharValue(u"urn:d")}}},
                {element(TreeName{u"", u"f", u"urn:d"})})},
       "<e xmlns=\"urn:d\"><f /></e>"},
      {"missing attribute prefix declaration added",
       {element(named(u"e"), {{TreeName{u"p", u"a", u"urn:p"}, {nvarcharValue(u"1")}}})},
       "<e p:a=\"1\" xmlns:p=\"urn:p\" />"},
      {"xml prefix needs no declaration",
       {element(named(u"e"), {{TreeName{u"xml", u"lang", kXmlNamespace}, {nvarcharValue(u"en")}}})},
       "<e xml:lang=\"en\" />"},
      {"mixed content",
       {element(named(u"m"), {}, {text(u"a"), element(named(u"b")), text(u"c")})},
       "<m>a<b />c</m>"},
      {"fragment with several roots", {element(named(u"a")), text(u"t"), element(named(u"b"))},
       "<a />t<b />"},
      {"typed list", {element(named(u"l"), {}, {number(1), number(2), number(3)})},
       "<l>1 2 3</l>"},
      {"text beside a typed value", {element(named(u"l"), {}, {text(u"ab"), number(1)})},
       "<l>ab1</l>"},
      {"attribute list",
       {element(named(u"e"), {{named(u"a"), {fixedValue(bx::kSqlInt, 1, 4),
                                             fixedValue(bx::kSqlInt, 2, 4)}}})},
       "<e a=\"1 2\" />"},
      {"attribute without value", {element(named(u"e"), {{named(u"a"), {}}})}, "<e a=\"\" />"},
      {"empty text keeps the end tag", {element(named(u"e"), {}, {text(u"")})}, "<e></e>"},
      {"non-ASCII names", {element(named(u"größe"), {}, {text(u"ü")})}, "<größe>ü</größe>"},
      {"version 2 document",
       {element(named(u"d"), {}, {valueNode(date2Value(730119))})},
       "<d>2000-01-01</d>", 2},
  };
}

TEST(BinaryXmlRoundTrip, EncodedTreesDecodeToTheirText) {
  for (const TreeCase& c : treeCases()) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(decode(encodeTree(c.tree, c.version)), c.text);
  }
}

struct StructureCase {
  const char* what;
  std::vector<uint8_t> bytes;
  const char* text;
  // Cutting off optional trailing parts leaves a shorter document that is still complete.
  bool optionalTail = false;
};

std::vector<StructureCase> structureCases() {
  return {
      {"xml declaration",
       [] {
         BinaryXmlWriter writer;
         writer.raw({bx::kXmlDecl}).text(u"1.0").raw({bx::kEncoding}).text(u"utf-8").raw({1});
         writer.element(writer.defineQName(0, 0, writer.defineName(u"r"))).endElement();
         return writer.bytes();
       }(),
       "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?><r />"},
      {"doctype with system id and subset",
       [] {
         BinaryXmlWriter writer;
         writer.raw({bx::kDocType}).text(u"r").raw({bx::kSystem}).text(u"r.dtd");
         writer.raw({bx::kSubset}).text(u"<!ELEMENT r EMPTY>");
         writer.element(writer.defineQName(0, 0, writer.defineName(u"r"))).endElement();
         return writer.bytes();
       }(),
       "<!DOCTYPE r SYSTEM \"r.dtd\" [<!ELEMENT r EMPTY>]><r />", true},
      {"doctype with public id",
       [] {
         BinaryXmlWriter writer;
         writer.raw({bx::kDocType}).text(u"r").raw({bx::kSystem}).text(u"s\"q");
         writer.raw({bx::kPublic}).text(u"-//P");
         return writer.bytes();
       }(),
       "<!DOCTYPE r PUBLIC \"-//P\" 's\"q'>", true},
      {"comment and processing instruction before the root",
       [] {
         BinaryXmlWriter writer;
         writer.raw({bx::kComment}).text(u"c");
         const uint32_t target = writer.defineName(u"go");
         writer.raw({bx::kProcessingInstruction}).mb(target).text(u"");
         writer.element(writer.defineQName(0, 0, writer.defineName(u"r"))).endElement();
         return writer.bytes();
       }(),
       "<!--c--><?go?><r />"},
      {"cdata in pieces", withRoot([](BinaryXmlWriter& writer) {
         writer.raw({bx::kCdata}).text(u"a<").raw({bx::kCdata}).text(u"]]>b");
         writer.raw({bx::kCdataEnd});
       }),
       "<root><![CDATA[a<]]]]><![CDATA[>b]]></root>"},
      {"extensions are skipped", withRoot([](BinaryXmlWriter& writer) {
         writer.raw({bx::kExtension}).mb(3).raw({1, 2, 3}).nvarchar(u"x");
       }),
       "<root>x</root>"},
      {"flushed names restart at one",
       [] {
         BinaryXmlWriter writer;
         writer.element(writer.defineQName(0, 0, writer.defineName(u"a")));
         writer.flushNames();
         writer.element(writer.defineQName(0, 0, writer.defineName(u"b")));
         writer.endElement().endElement();
         return writer.bytes();
       }(),
       "<a><b /></a>"},
      {"nested document with its own names",
       withRoot([](BinaryXmlWriter& writer) {
         BinaryXmlWriter inner;
         inner.raw({bx::kXmlDecl}).text(u"1.0").raw({0});
         inner.element(inner.defineQName(0, 0, inner.defineName(u"inner"))).endElement();
         writer.raw({bx::kNest}).raw(inner.bytes()).raw({bx::kEndNest}).element(1).endElement();
       }),
       "<root><inner /><root /></root>"},
      {"nested document shares the namespace scope",
       [] {
         BinaryXmlWriter writer;
         const uint32_t uri = writer.defineName(u"urn:p");
         const uint32_t prefix = writer.defineName(u"p");
         writer.element(writer.defineQName(uri, prefix, writer.defineName(u"a")));
         writer.attribute(writer.defineQName(0, writer.defineName(u"xmlns:p"), 0));
         writer.nvarchar(u"urn:p").endAttributes();
         BinaryXmlWriter inner;
         const uint32_t innerUri = inner.defineName(u"urn:p");
         const uint32_t innerPrefix = inner.defineName(u"p");
         inner.element(inner.defineQName(innerUri, innerPrefix, inner.defineName(u"b")));
         inner.endElement();
         writer.raw({bx::kNest}).raw(inner.bytes()).raw({bx::kEndNest}).endElement();
         return writer.bytes();
       }(),
       "<p:a xmlns:p=\"urn:p\"><p:b /></p:a>"},
      {"version of a nested document stays in force",
       withRoot([](BinaryXmlWriter& writer) {
         writer.raw({bx::kNest}).raw(BinaryXmlWriter(2).bytes()).raw({bx::kEndNest});
         writer.value(date2Value(0));
       }),
       "<root>0001-01-01</root>"},
      {"header alone is an empty document", BinaryXmlWriter().bytes(), ""},
      {"version 0 reads as version 1", withValue(fixedValue(bx::kSqlInt, 5, 4), 0),
       "<root>5</root>"},
  };
}

TEST(BinaryXmlStructure, DecodesDeclarationsCommentsCdataAndNesting) {
  for (const StructureCase& c : structureCases()) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(decode(c.bytes), c.text);
  }
}

struct FailureCase {
  const char* what;
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> withHeader(const std::vector<uint8_t>& body, uint8_t version = 1) {
  return BinaryXmlWriter(version).raw(body).bytes();
}

std::vector<FailureCase> failureCases() {
  auto nvarchar = [](std::u16string_view text) { return nvarcharValue(text); };
  return {
      {"empty input", {}},
      {"bad signature", {0xDF, 0xFE, 0x01, 0xB0, 0x04}},
      {"unknown version", {0xDF, 0xFF, 0x03, 0xB0, 0x04}},
      {"not UTF-16", {0xDF, 0xFF, 0x01, 0xE9, 0xFD}},
      {"header cut short", {0xDF, 0xFF, 0x01, 0xB0}},
      {"unassigned token 0x15", withHeader({0x15, 0x00})},
      {"unassigned token 0x80", withHeader({0x80})},
      {"unassigned token 0xED", withHeader({0xED, 0x00})},
      {"zero token", withHeader({0x00})},
      {"qname index beyond the table", withRoot([](BinaryXmlWriter& w) { w.element(2); })},
      {"qname index zero", withHeader({bx::kElement, 0x00, bx::kEndElement})},
      {"qname of an undefined name", withHeader({bx::kQNameDef, 0x00, 0x00, 0x05})},
      {"element never closed",
       [] {
         BinaryXmlWriter w;
         return w.element(w.defineQName(0, 0, w.defineName(u"e"))).bytes();
       }()},
      {"end element at the root", withHeader({bx::kEndElement})},
      {"end of nesting at the root", withHeader({bx::kEndNest})},
      {"attribute in content",
       withRoot([](BinaryXmlWriter& w) { w.nvarchar(u"x").attribute(1); })},
      {"end of attributes without attributes",
       withRoot([](BinaryXmlWriter& w) { w.endAttributes(); })},
      {"attributes not closed",
       [] {
         BinaryXmlWriter w;
         w.element(w.defineQName(0, 0, w.defineName(u"e"))).attribute(1).nvarchar(u"v");
         return w.endElement().bytes();
       }()},
      {"decimal of unknown length",
       withValue(EncodedValue{bx::kSqlDecimal, {8, 6, 4, 1, 0, 0, 0, 0, 0}})},
      {"decimal scale above precision",
       withValue(decimalValue(bx::kSqlDecimal, 4, 6, true, {1, 0, 0, 0}))},
      {"decimal sign byte 2", withValue(EncodedValue{bx::kSqlDecimal, {7, 6, 4, 2, 1, 0, 0, 0}})},
      {"version 2 value in a version 1 document", withValue(date2Value(0))},
      {"xs:dateTime with the date marker bits",
       withValue(withMarkerBits(xsdDateTimeValue(2000, 1, 1, 0, 0, 0, 0), 1))},
      {"xs:date with the time marker bits", withValue(withMarkerBits(xsdDateValue(2000, 1, 1, 0), 0))},
      {"xs:date that does not exist", withValue(xsdDateValue(2001, 2, 29, 0))},
      {"datetime ticks past midnight", withValue(sqlDateTimeValue(0, 25920000))},
      {"datetime before year 1", withValue(sqlDateTimeValue(-700000, 0))},
      {"smalldatetime minutes past midnight", withValue(smallDateTimeValue(0, 1440))},
      {"datetime2 scale 8", withValue(timedValue(bx::kXsdDateTime2, 8, 0, 0), 2)},
      {"date after 9999", withValue(date2Value(3652059), 2)},
      {"datetimeoffset zone over 14 hours",
       withValue(timedValue(bx::kXsdDateTimeOffset, 0, 0, 730119, 900), 2)},
      {"unpaired surrogate", withValue(nvarchar(u"\xD800"))},
      {"text longer than the input", withValue(EncodedValue{bx::kSqlNVarChar, {0x10, 'a', 0}})},
      {"mb32 of six bytes", withHeader({bx::kNameDef, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01})},
      {"mb32 above int32", withHeader({bx::kNameDef, 0x80, 0x80, 0x80, 0x80, 0x08})},
      {"unknown code page", withValue(codePageValue(bx::kSqlChar, 12345, {'a'}))},
      {"code page text shorter than its code page",
       withValue(blobValue(bx::kSqlChar, {0xE4, 0x04}))},
      {"invalid UTF-8", withValue(codePageValue(bx::kSqlVarChar, 65001, {0xC3, 0x28}))},
      {"ASCII byte above 127", withValue(codePageValue(bx::kSqlVarChar, 20127, {0x80}))},
      {"prefix bound to no namespace",
       encodeTree({element(named(u"e"), {{TreeName{u"xmlns:p", u"", u""}, {nvarchar(u"")}}})})},
      {"prefixed element without namespace", encodeTree({element(TreeName{u"p", u"e", u""})})},
      {"prefix bound twice on one element",
       encodeTree({element(TreeName{u"p", u"e", u"urn:a"},
                           {{TreeName{u"xmlns:p", u"", u""}, {nvarchar(u"urn:b")}}})})},
      {"namespace declaration with a typed value",
       encodeTree({element(named(u"e"), {{TreeName{u"xmlns:p", u"", u""},
                                          {fixedValue(bx::kSqlInt, 1, 4)}}})})},
      {"processing instruction without target",
       withHeader({bx::kProcessingInstruction, 0x00, 0x00})},
      {"cdata without end", withRoot([](BinaryXmlWriter& w) { w.raw({bx::kCdata}).text(u"x"); })},
      {"doctype after the root",
       [] {
         BinaryXmlWriter w;
         w.element(w.defineQName(0, 0, w.defineName(u"r"))).endElement();
         return w.raw({bx::kDocType}).text(u"r").bytes();
       }()},
      {"xs:QName value of an undefined qname",
       withRoot([](BinaryXmlWriter& w) { w.raw({bx::kXsdQName}).mb(9); })},
      {"extension longer than the input", withHeader({bx::kExtension, 0x05, 0x01})},
      {"standalone byte 3", withHeader({bx::kXmlDecl, 0x00, 0x03})},
      {"name used after a flush",
       [] {
         BinaryXmlWriter w;
         w.defineName(u"a");
         return w.flushNames().raw({bx::kQNameDef, 0, 0, 1}).bytes();
       }()},
      {"nested document not closed", withRoot([](BinaryXmlWriter& w) {
         w.raw({bx::kNest}).raw(BinaryXmlWriter().bytes());
       })},
      {"nested document without header",
       withRoot([](BinaryXmlWriter& w) { w.raw({bx::kNest, bx::kEndNest}); })},
  };
}

TEST(BinaryXmlFailures, InvalidInputGivesNothing) {
  for (const FailureCase& c : failureCases()) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(decode(c.bytes), std::nullopt);
  }
}

std::vector<uint8_t> nestedElements(int depth) {
  BinaryXmlWriter writer;
  writer.element(writer.defineQName(0, 0, writer.defineName(u"e")));
  for (int k = 1; k < depth; ++k) writer.element(1);
  for (int k = 0; k < depth; ++k) writer.endElement();
  return writer.bytes();
}

TEST(BinaryXmlFailures, NestingDepthIsBounded) {
  EXPECT_TRUE(decode(nestedElements(256)).has_value());
  EXPECT_EQ(decode(nestedElements(257)), std::nullopt);
  EXPECT_EQ(decode(nestedElements(100000)), std::nullopt);
}

TEST(BinaryXmlFailures, OutputSizeIsBounded) {
  const size_t exact = std::string(kDocumentExampleText).size();
  EXPECT_EQ(decodeBinaryXml(kDocumentExample, BinaryXmlLimits{256, exact}), kDocumentExampleText);
  EXPECT_EQ(decodeBinaryXml(kDocumentExample, BinaryXmlLimits{256, exact - 1}), std::nullopt);

  // A long name repeated through short qname values must stop at the limit.
  auto amplified = withRoot([](BinaryXmlWriter& writer) {
    const uint32_t qname = writer.defineQName(0, 0, writer.defineName(std::u16string(1000, u'n')));
    writer.attribute(qname);
    for (int k = 0; k < 10000; ++k) writer.raw({bx::kXsdQName}).mb(qname);
    writer.endAttributes();
  });
  EXPECT_EQ(decodeBinaryXml(amplified, BinaryXmlLimits{256, 100000}), std::nullopt);
}

struct Sample {
  const char* what;
  std::vector<uint8_t> bytes;
};

std::vector<Sample> samples() {
  std::vector<Sample> all = {{"document example", kDocumentExample},
                             {"names example", namesExample()}};
  for (const StructureCase& c : structureCases()) {
    if (!c.optionalTail) all.push_back({c.what, c.bytes});
  }
  for (const TreeCase& c : treeCases()) all.push_back({c.what, encodeTree(c.tree, c.version)});
  for (const ValueCase& c : valueCases()) {
    all.push_back({c.what, withValue(c.value, c.version)});
  }
  return all;
}

TEST(BinaryXmlFailures, TruncatedSamplesGiveNothingOrAFullDocument) {
  for (const Sample& sample : samples()) {
    SCOPED_TRACE(sample.what);
    auto full = decode(sample.bytes);
    ASSERT_TRUE(full.has_value());
    for (size_t length = 0; length < sample.bytes.size(); ++length) {
      std::vector<uint8_t> prefix(sample.bytes.begin(), sample.bytes.begin() + length);
      auto text = decode(prefix);
      // Only a cut between top-level items leaves a document: the items before the cut.
      if (text) {
        EXPECT_TRUE(full->starts_with(*text)) << "cut at " << length;
      }
    }
  }
}

TEST(BinaryXmlFailures, EveryRootElementSampleNeedsItsLastByte) {
  for (const std::vector<uint8_t>& bytes : {kDocumentExample, namesExample()}) {
    for (size_t length = 0; length < bytes.size(); ++length) {
      auto text = decode(std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
      EXPECT_TRUE(!text || text->empty()) << "cut at " << length;
    }
  }
}

// Replaces each byte in turn by each of `values`; the sanitizers catch any bad access.
size_t decodeAlterations(std::vector<uint8_t> bytes, const std::vector<uint8_t>& values) {
  size_t decoded = 0;
  for (size_t position = 0; position < bytes.size(); ++position) {
    const uint8_t original = bytes[position];
    for (uint8_t value : values) {
      bytes[position] = value;
      if (decode(bytes)) ++decoded;
    }
    bytes[position] = original;
  }
  return decoded;
}

TEST(BinaryXmlFailures, AlteredBytesNeverCrash) {
  std::vector<uint8_t> everyByte(256);
  for (int value = 0; value < 256; ++value) everyByte[value] = static_cast<uint8_t>(value);
  size_t decoded = decodeAlterations(kDocumentExample, everyByte);
  decoded += decodeAlterations(namesExample(), everyByte);
  for (const StructureCase& c : structureCases()) decoded += decodeAlterations(c.bytes, everyByte);
  for (const Sample& sample : samples()) {
    decoded += decodeAlterations(sample.bytes, {0x00, 0x01, 0x7F, 0x80, 0xF7, 0xFF});
  }
  EXPECT_GT(decoded, 0u);
}

std::vector<XmlChunk> chunksOf(const std::vector<uint8_t>& bytes,
                               const std::vector<size_t>& cuts) {
  std::vector<XmlChunk> chunks;
  size_t from = 0;
  for (size_t to : cuts) {
    XmlChunk chunk;
    chunk.length = static_cast<int32_t>(to - from);
    chunk.bytes = std::make_unique<uint8_t[]>(to - from);
    std::copy(bytes.begin() + from, bytes.begin() + to, chunk.bytes.get());
    chunks.push_back(std::move(chunk));
    from = to;
  }
  return chunks;
}

bool allReleased(const std::vector<XmlChunk>& chunks) {
  for (const XmlChunk& chunk : chunks) {
    if (chunk.bytes) return false;
  }
  return true;
}

TEST(BinaryXmlWrappers, ConvertXmlValue) {
  const std::vector<uint8_t>& bytes = kDocumentExample;
  const auto count = static_cast<int32_t>(bytes.size());
  EXPECT_EQ(convertXmlValue(bytes.data(), count), kDocumentExampleText);
  EXPECT_EQ(convertXmlValue(bytes.data(), count - 1), "");
  EXPECT_EQ(convertXmlValue(bytes.data(), 0), "");
  EXPECT_EQ(convertXmlValue(bytes.data(), -1), "");
  EXPECT_EQ(convertXmlValue(nullptr, count), "");
}

TEST(BinaryXmlWrappers, ChunksAreJoinedAndReleased) {
  auto chunks = chunksOf(kDocumentExample, {3, 40, kDocumentExample.size()});
  EXPECT_EQ(convertXmlChunks(chunks), kDocumentExampleText);
  EXPECT_TRUE(allReleased(chunks));
}

TEST(BinaryXmlWrappers, ChunkWithoutBytesStandsForZeros) {
  // Bytes 16 and 17 are the two zero name indexes of the qname definition.
  ASSERT_EQ(kDocumentExample[15], bx::kQNameDef);
  auto chunks = chunksOf(kDocumentExample, {16, 18, kDocumentExample.size()});
  chunks[1].bytes.reset();
  EXPECT_EQ(convertXmlChunks(chunks), kDocumentExampleText);
  EXPECT_TRUE(allReleased(chunks));
}

TEST(BinaryXmlWrappers, UnusableChunkListsGiveEmptyText) {
  std::vector<XmlChunk> none;
  EXPECT_EQ(convertXmlChunks(none), "");

  auto zeroSum = chunksOf(kDocumentExample, {0, 0});
  EXPECT_EQ(convertXmlChunks(zeroSum), "");
  EXPECT_TRUE(allReleased(zeroSum));

  auto negative = chunksOf(kDocumentExample, {10, kDocumentExample.size()});
  negative[0].length = -10;
  EXPECT_EQ(convertXmlChunks(negative), "");
  EXPECT_TRUE(allReleased(negative));

  std::vector<XmlChunk> overflowing(2);
  overflowing[0].length = std::numeric_limits<int32_t>::max();
  overflowing[1].length = 1;
  overflowing[1].bytes = std::make_unique<uint8_t[]>(1);
  EXPECT_EQ(convertXmlChunks(overflowing), "");
  EXPECT_TRUE(allReleased(overflowing));

  std::vector<XmlChunk> zeros(1);
  zeros[0].length = 16;
  EXPECT_EQ(convertXmlChunks(zeros), "");
}

}  // namespace
}  // namespace orodorev::test
