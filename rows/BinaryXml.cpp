#include "rows/BinaryXml.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

#include "rows/BinaryXmlFormat.h"
#include "rows/BinaryXmlText.h"
#include "rows/BinaryXmlValues.h"

namespace orodorev::binxml {
namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr int kEndOfInput = -1;

// QName entries keep name indexes; the strings are looked up when a qname is used.
struct QNameEntry {
  uint32_t uri = 0;
  uint32_t prefix = 0;
  uint32_t local = 0;
};

// Index 0 of the name table is the empty name; qname index 0 is never valid.
struct NameTables {
  std::vector<std::string> names{std::string()};
  std::vector<QNameEntry> qnames{QNameEntry{}};
};

// Prefix bindings in document order; the bindings an element makes start at its mark.
class NamespaceScope {
 public:
  NamespaceScope() : bindings_{{"xml", std::string(kXmlNamespace)}, {"", ""}} {}

  size_t mark() const { return bindings_.size(); }
  void restore(size_t mark) { bindings_.resize(mark); }
  void bind(std::string prefix, std::string uri) {
    bindings_.emplace_back(std::move(prefix), std::move(uri));
  }
  const std::string* find(std::string_view prefix, size_t from = 0) const {
    for (size_t k = bindings_.size(); k > from; --k) {
      if (bindings_[k - 1].first == prefix) return &bindings_[k - 1].second;
    }
    return nullptr;
  }

 private:
  std::vector<std::pair<std::string, std::string>> bindings_;
};

struct Attribute {
  std::string name;   // as written: prefix:local, xmlns or xmlns:prefix
  std::string value;  // not yet escaped
  QNameText qname;
  std::optional<std::string> declaredPrefix;  // set for namespace declarations
  bool valueIsText = true;
  int valueCount = 0;
};

Attribute namespaceDeclaration(const std::string& prefix, const std::string& uri) {
  Attribute declaration;
  declaration.name = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
  declaration.value = uri;
  declaration.declaredPrefix = prefix;
  return declaration;
}

// Namespace declarations have an empty local name and the prefix "xmlns" or "xmlns:p".
bool nameAttribute(QNameText qname, Attribute& attribute) {
  if (qname.local.empty()) {
    if (qname.prefix == "xmlns") {
      attribute.declaredPrefix = "";
    } else if (qname.prefix.size() > 6 && qname.prefix.starts_with("xmlns:")) {
      attribute.declaredPrefix = qname.prefix.substr(6);
    } else {
      return false;
    }
    attribute.name = qname.prefix;
  } else {
    if (qname.prefix == "xmlns") attribute.declaredPrefix = qname.local;
    attribute.name = qname.qualified();
  }
  attribute.qname = std::move(qname);
  return true;
}

// Adjacent typed values form a list and are written with a space between them.
class ValueJoiner {
 public:
  bool separate(const AtomicValue& value) {
    const bool space = lastTyped_ && !value.isCharacterData;
    lastTyped_ = !value.isCharacterData;
    return space;
  }
  void reset() { lastTyped_ = false; }

 private:
  bool lastTyped_ = false;
};

// Writes a DOCTYPE literal in whichever quotes it does not contain.
bool appendLiteral(std::string& out, const std::string& literal) {
  const char quote = literal.find('"') == std::string::npos ? '"' : '\'';
  if (literal.find(quote) != std::string::npos) return false;
  out += quote;
  out += literal;
  out += quote;
  return true;
}

void appendCdata(std::string& out, std::string_view text) {
  // "]]>" cannot appear inside a section, so it is split across two.
  out += "<![CDATA[";
  for (size_t end = text.find("]]>"); end != std::string_view::npos; end = text.find("]]>")) {
    out += text.substr(0, end + 2);
    out += "]]><![CDATA[";
    text.remove_prefix(end + 2);
  }
  out += text;
  out += "]]>";
}

class DocumentDecoder {
 public:
  DocumentDecoder(std::span<const uint8_t> bytes, const BinaryXmlLimits& limits)
      : cursor_(bytes), limits_(limits) {}

  std::optional<std::string> decode() {
    tables_.emplace_back();
    if (!readHeader() || !readXmlDeclaration(true)) return std::nullopt;
    if (!readContent(Scope::Document) || !withinOutputLimit()) return std::nullopt;
    return std::move(out_);
  }

 private:
  enum class Scope { Document, NestedDocument, Element };

  bool withinOutputLimit(size_t pending = 0) const {
    return out_.size() <= limits_.maxOutputBytes &&
           pending <= limits_.maxOutputBytes - out_.size();
  }

  // Header: signature DF FF, version (0 and 1 mean version 1), code page 1200 as B0 04.
  bool readHeader() {
    auto first = cursor_.readByte();
    auto second = cursor_.readByte();
    auto version = cursor_.readByte();
    auto codePage = cursor_.readU16();
    if (first != 0xDF || second != 0xFF || !version || *version > 2 || codePage != 1200) {
      return false;
    }
    version_ = std::max<int>(1, *version);
    return true;
  }

  // XML declaration, only right after the header: version text, optional ENCODING
  // token and text, standalone byte (0 not given, 1 yes, 2 no).
  bool readXmlDeclaration(bool write) {
    if (cursor_.peekByte() != kXmlDecl) return true;
    cursor_.readByte();
    auto versionText = cursor_.readText32();
    std::optional<std::string> encoding;
    if (!versionText || !readOptionalText(kEncoding, encoding)) return false;
    auto standalone = cursor_.readByte();
    if (!standalone || *standalone > 2) return false;
    if (!write) return true;
    out_ += "<?xml version=\"";
    appendEscapedAttribute(out_, *versionText);
    out_ += '"';
    if (encoding) {
      out_ += " encoding=\"";
      appendEscapedAttribute(out_, *encoding);
      out_ += '"';
    }
    if (*standalone != 0) out_ += *standalone == 1 ? " standalone=\"yes\"" : " standalone=\"no\"";
    out_ += "?>";
    return true;
  }

  bool readOptionalText(uint8_t token, std::optional<std::string>& text) {
    if (cursor_.peekByte() != token) return true;
    cursor_.readByte();
    text = cursor_.readText32();
    return text.has_value();
  }

  bool readContent(Scope scope) {
    // A DOCTYPE may only come before the first element or value of a document.
    bool prolog = scope != Scope::Element;
    bool sawDocType = false;
    ValueJoiner joiner;
    while (withinOutputLimit()) {
      auto token = nextToken();
      if (!token) return false;
      if (*token == kEndOfInput) return scope == Scope::Document;
      if (*token == kEndElement) return scope == Scope::Element;
      if (*token == kEndNest) return scope == Scope::NestedDocument;
      const auto byte = static_cast<uint8_t>(*token);
      if (isAtomicValueToken(byte)) {
        prolog = false;
        if (!readValue(byte, joiner)) return false;
        continue;
      }
      joiner.reset();
      if (byte == kDocType) {
        if (!prolog || sawDocType || !readDocType(scope == Scope::Document)) return false;
        sawDocType = true;
        continue;
      }
      if (byte == kElement || byte == kCdata || byte == kNest) prolog = false;
      if (!readMarkup(byte)) return false;
    }
    return false;
  }

  bool readMarkup(uint8_t token) {
    switch (token) {
      case kElement: return readElement();
      case kCdata: return readCdata();
      case kComment: return readComment();
      case kProcessingInstruction: return readProcessingInstruction();
      case kNest: return readNestedDocument();
      default: return false;
    }
  }

  ValueContext valueContext() {
    return ValueContext{version_, [this](uint32_t index) { return qnameAt(index); }};
  }

  bool readValue(uint8_t token, ValueJoiner& joiner) {
    auto value = readAtomicValue(token, cursor_, valueContext());
    if (!value) return false;
    if (joiner.separate(*value)) out_ += ' ';
    appendEscapedText(out_, value->text);
    return true;
  }

  // Element: qname, then optionally attributes closed by END-ATTRIBUTES, content, END-ELEMENT.
  bool readElement() {
    if (++depth_ > limits_.maxDepth) return false;
    auto name = readQNameRef();
    if (!name || name->local.empty() || name->prefix == "xmlns") return false;
    if (!name->prefix.empty() && name->uri.empty()) return false;
    std::vector<Attribute> attributes;
    auto next = peekToken();
    if (!next || (*next == kAttribute && !readAttributes(attributes))) return false;
    const size_t mark = namespaces_.mark();
    if (!declareNamespaces(*name, attributes, mark)) return false;
    writeStartTag(name->qualified(), attributes);
    next = peekToken();
    if (!next) return false;
    if (*next == kEndElement) {
      cursor_.readByte();
      out_ += " />";
    } else {
      out_ += '>';
      if (!readContent(Scope::Element)) return false;
      out_ += "</" + name->qualified() + ">";
    }
    namespaces_.restore(mark);
    --depth_;
    return true;
  }

  bool readAttributes(std::vector<Attribute>& attributes) {
    size_t pending = 0;
    while (true) {
      auto token = nextToken();
      if (!token) return false;
      if (*token == kEndAttributes) return !attributes.empty();
      if (*token != kAttribute) return false;
      auto name = readQNameRef();
      Attribute attribute;
      if (!name || !nameAttribute(std::move(*name), attribute)) return false;
      if (!readAttributeValue(attribute, pending)) return false;
      pending += attribute.name.size() + attribute.value.size();
      attributes.push_back(std::move(attribute));
    }
  }

  bool readAttributeValue(Attribute& attribute, size_t pending) {
    ValueJoiner joiner;
    while (withinOutputLimit(pending + attribute.value.size())) {
      auto token = peekToken();
      if (!token) return false;
      if (*token == kEndOfInput || !isAtomicValueToken(static_cast<uint8_t>(*token))) return true;
      cursor_.readByte();
      auto value = readAtomicValue(static_cast<uint8_t>(*token), cursor_, valueContext());
      if (!value) return false;
      if (joiner.separate(*value)) attribute.value += ' ';
      attribute.value += value->text;
      attribute.valueIsText = attribute.valueIsText && value->isCharacterData;
      ++attribute.valueCount;
    }
    return false;
  }

  // Binds the element's explicit declarations, then adds the declarations its own
  // name and its attributes' names need but the document left out.
  bool declareNamespaces(const QNameText& element, std::vector<Attribute>& attributes,
                         size_t mark) {
    for (const Attribute& attribute : attributes) {
      if (attribute.declaredPrefix && !bindDeclared(attribute, mark)) return false;
    }
    std::vector<Attribute> implied;
    if (!requireBinding(element.prefix, element.uri, mark, implied)) return false;
    for (const Attribute& attribute : attributes) {
      const QNameText& name = attribute.qname;
      if (attribute.declaredPrefix || (name.prefix.empty() && name.uri.empty())) continue;
      // Unprefixed attributes never have a namespace; a prefix always needs one.
      if (name.prefix.empty() || name.uri.empty()) return false;
      if (!requireBinding(name.prefix, name.uri, mark, implied)) return false;
    }
    for (Attribute& declaration : implied) attributes.push_back(std::move(declaration));
    return true;
  }

  bool bindDeclared(const Attribute& declaration, size_t mark) {
    const std::string& prefix = *declaration.declaredPrefix;
    const std::string& uri = declaration.value;
    if (declaration.valueCount > 1 || !declaration.valueIsText) return false;
    if (!prefix.empty() && uri.empty()) return false;
    if (prefix == "xmlns" || (prefix == "xml") != (uri == kXmlNamespace)) return false;
    if (namespaces_.find(prefix, mark)) return false;
    namespaces_.bind(prefix, uri);
    return true;
  }

  bool requireBinding(const std::string& prefix, const std::string& uri, size_t mark,
                      std::vector<Attribute>& implied) {
    if (prefix == "xml") return uri.empty() || uri == kXmlNamespace;
    if (prefix == "xmlns") return false;
    const std::string* current = namespaces_.find(prefix);
    if (current && *current == uri) return true;
    // One element cannot bind a prefix to two namespaces.
    if (namespaces_.find(prefix, mark)) return false;
    namespaces_.bind(prefix, uri);
    implied.push_back(namespaceDeclaration(prefix, uri));
    return true;
  }

  void writeStartTag(const std::string& name, const std::vector<Attribute>& attributes) {
    out_ += '<';
    out_ += name;
    for (const Attribute& attribute : attributes) {
      out_ += ' ';
      out_ += attribute.name;
      out_ += "=\"";
      appendEscapedAttribute(out_, attribute.value);
      out_ += '"';
    }
  }

  // CDATA: one or more (CDATA token, text) pieces, then CDATA-END.
  bool readCdata() {
    std::string text;
    while (true) {
      auto piece = cursor_.readText32();
      if (!piece || !withinOutputLimit(text.size() + piece->size())) return false;
      text += *piece;
      if (cursor_.peekByte() != kCdata) break;
      cursor_.readByte();
    }
    if (cursor_.readByte() != kCdataEnd) return false;
    appendCdata(out_, text);
    return true;
  }

  bool readComment() {
    auto text = cursor_.readText32();
    if (!text) return false;
    out_ += "<!--" + *text + "-->";
    return true;
  }

  // Processing instruction: target as a name index, then the data text.
  bool readProcessingInstruction() {
    auto index = cursor_.readMb32();
    const NameTables& tables = tables_.back();
    if (!index || *index == 0 || *index >= tables.names.size()) return false;
    const std::string target = tables.names[*index];
    auto text = cursor_.readText32();
    if (!text) return false;
    out_ += "<?" + target + (text->empty() ? "" : " " + *text) + "?>";
    return true;
  }

  // DOCTYPE: name text, then optional SYSTEM, PUBLIC and SUBSET tokens each with a text.
  bool readDocType(bool write) {
    auto name = cursor_.readText32();
    std::optional<std::string> systemId, publicId, subset;
    if (!name || !readOptionalText(kSystem, systemId) || !readOptionalText(kPublic, publicId) ||
        !readOptionalText(kSubset, subset)) {
      return false;
    }
    if (!write) return true;
    out_ += "<!DOCTYPE " + *name;
    if (publicId) {
      out_ += " PUBLIC ";
      if (!appendLiteral(out_, *publicId)) return false;
    } else if (systemId) {
      out_ += " SYSTEM";
    }
    if (systemId) {
      out_ += ' ';
      if (!appendLiteral(out_, *systemId)) return false;
    }
    if (subset) out_ += " [" + *subset + "]";
    out_ += '>';
    return true;
  }

  // A nested document has its own header and name tables but shares the namespace
  // scope; as in SQL Server, its version stays in force after it ends. Its XML
  // declaration and DOCTYPE are not written in the middle of the outer document.
  bool readNestedDocument() {
    if (++depth_ > limits_.maxDepth) return false;
    if (!readHeader() || !readXmlDeclaration(false)) return false;
    tables_.emplace_back();
    if (!readContent(Scope::NestedDocument)) return false;
    tables_.pop_back();
    --depth_;
    return true;
  }

  // The next token after any name definitions, extensions and flushes, which are
  // applied on the way; kEndOfInput at the end of the bytes.
  std::optional<int> peekToken() {
    while (true) {
      auto byte = cursor_.peekByte();
      if (!byte) return kEndOfInput;
      if (!isMetadataToken(*byte)) return *byte;
      cursor_.readByte();
      if (!readMetadata(*byte)) return std::nullopt;
    }
  }

  std::optional<int> nextToken() {
    auto token = peekToken();
    if (token && *token != kEndOfInput) cursor_.readByte();
    return token;
  }

  bool readMetadata(uint8_t token) {
    NameTables& tables = tables_.back();
    switch (token) {
      case kNameDef: {
        auto name = cursor_.readText32();
        if (!name) return false;
        tables.names.push_back(std::move(*name));
        return true;
      }
      case kQNameDef: {
        auto uri = readNameIndex();
        auto prefix = uri ? readNameIndex() : std::nullopt;
        auto local = prefix ? readNameIndex() : std::nullopt;
        if (!local) return false;
        tables.qnames.push_back(QNameEntry{*uri, *prefix, *local});
        return true;
      }
      case kExtension: {
        // Data of other applications: length and bytes, skipped.
        auto length = cursor_.readMb32();
        return length && cursor_.readBytes(*length);
      }
      case kFlushNames:
        tables = NameTables{};
        return true;
      default:
        return false;
    }
  }

  std::optional<uint32_t> readNameIndex() {
    auto index = cursor_.readMb32();
    if (!index || *index >= tables_.back().names.size()) return std::nullopt;
    return index;
  }

  std::optional<QNameText> qnameAt(uint32_t index) const {
    const NameTables& tables = tables_.back();
    if (index == 0 || index >= tables.qnames.size()) return std::nullopt;
    const QNameEntry& entry = tables.qnames[index];
    return QNameText{tables.names[entry.uri], tables.names[entry.prefix],
                     tables.names[entry.local]};
  }

  std::optional<QNameText> readQNameRef() {
    auto index = cursor_.readMb32();
    if (!index) return std::nullopt;
    return qnameAt(*index);
  }

  Cursor cursor_;
  BinaryXmlLimits limits_;
  std::vector<NameTables> tables_;  // one per open document, nested ones last
  NamespaceScope namespaces_;
  std::string out_;
  int version_ = 1;
  int depth_ = 0;
};

std::optional<std::vector<uint8_t>> joinChunks(const std::vector<XmlChunk>& chunks) {
  int64_t total = 0;
  for (const XmlChunk& chunk : chunks) {
    if (chunk.length < 0) return std::nullopt;
    total += chunk.length;
    if (total > std::numeric_limits<int32_t>::max()) return std::nullopt;
  }
  // Zero-filled, so chunks without bytes stay zeros.
  std::vector<uint8_t> joined(static_cast<size_t>(total));
  size_t offset = 0;
  for (const XmlChunk& chunk : chunks) {
    if (chunk.bytes) std::copy_n(chunk.bytes.get(), chunk.length, joined.data() + offset);
    offset += static_cast<size_t>(chunk.length);
  }
  return joined;
}

}  // namespace
}  // namespace orodorev::binxml

namespace orodorev {

std::optional<std::string> decodeBinaryXml(std::span<const uint8_t> bytes) {
  return decodeBinaryXml(bytes, BinaryXmlLimits{});
}

std::optional<std::string> decodeBinaryXml(std::span<const uint8_t> bytes,
                                           const BinaryXmlLimits& limits) {
  return binxml::DocumentDecoder(bytes, limits).decode();
}

std::string convertXmlValue(const uint8_t* bytes, int32_t count) {
  if (!bytes || count <= 0) return {};
  return decodeBinaryXml({bytes, static_cast<size_t>(count)}).value_or(std::string());
}

std::string convertXmlChunks(std::vector<XmlChunk>& chunks) {
  auto joined = binxml::joinChunks(chunks);
  for (XmlChunk& chunk : chunks) chunk.bytes.reset();
  if (!joined || joined->empty()) return {};
  return decodeBinaryXml(*joined).value_or(std::string());
}

}  // namespace orodorev
