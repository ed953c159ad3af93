// Build-time generator of the report key catalogue.
//
//   orv_keycatalog KEYS.txt ARGCODES.txt OUT_HEADER OUT_SOURCE
//
// Reads the nested key listing and the argument-code tables and writes the TKeys
// enumeration (OUT_HEADER) and the catalogue rows, row paths and code tables (OUT_SOURCE).
// Plain standard C++ so that it builds before anything else of the project.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Row {
  std::string spelled;  // keyword as written (mixed case allowed); empty on alias rows
  std::string keyword;  // upper case
  int level = 0;
  int argCount = 0;
  int parent = -1;
  std::string aliasText;  // the text inside the brackets of an alias row
  int aliasTarget = -1;
  bool aliasSingle = false;
  std::string path;  // dotted path, the key of the procedure binding
  std::string member;
};

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) Fail("cannot read " + name);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// ---- the nested listing ----

class ListingParser {
 public:
  explicit ListingParser(std::string text) : s_(std::move(text)) {}

  std::vector<Row> Parse() {
    ParseList(0, -1);
    SkipBlanks();
    if (p_ != s_.size()) Fail("unexpected text at " + Where());
    return std::move(rows_);
  }

 private:
  void SkipBlanks() {
    while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
  }
  std::string Where() const { return "offset " + std::to_string(p_) + ": " + s_.substr(p_, 40); }

  void ParseList(int level, int parent) {
    for (;;) {
      ParseEntry(level, parent);
      SkipBlanks();
      if (p_ < s_.size() && s_[p_] == ';') {
        ++p_;
        continue;
      }
      return;
    }
  }

  void ParseEntry(int level, int parent) {
    SkipBlanks();
    if (p_ >= s_.size()) Fail("entry expected at the end");
    Row row;
    row.level = level;
    row.parent = parent;
    if (s_[p_] == '[') {
      size_t e = s_.find(']', p_);
      if (e == std::string::npos) Fail("unclosed alias at " + Where());
      row.aliasText = s_.substr(p_ + 1, e - p_ - 1);
      p_ = e + 1;
      if (level == 0) Fail("alias at top level: " + row.aliasText);
      rows_.push_back(row);
      return;
    }
    size_t b = p_;
    while (p_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[p_])) &&
           std::string(";()[]").find(s_[p_]) == std::string::npos)
      ++p_;
    row.spelled = s_.substr(b, p_ - b);
    row.keyword = Upper(row.spelled);
    SkipBlanks();
    size_t nb = p_;
    while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_]))) ++p_;
    if (nb == p_) Fail("argument count expected at " + Where());
    row.argCount = std::stoi(s_.substr(nb, p_ - nb));
    int self = static_cast<int>(rows_.size());
    rows_.push_back(row);
    SkipBlanks();
    if (p_ < s_.size() && s_[p_] == '(') {
      ++p_;
      ParseList(level + 1, self);
      SkipBlanks();
      if (p_ >= s_.size() || s_[p_] != ')') Fail("')' expected at " + Where());
      ++p_;
    }
  }

  std::string s_;
  size_t p_ = 0;
  std::vector<Row> rows_;
};

int FindTop(const std::vector<Row>& rows, const std::string& word) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].level == 0 && rows[i].keyword == Upper(word)) return static_cast<int>(i);
  Fail("no top-level key " + word);
}

int FindChild(const std::vector<Row>& rows, int parent, const std::string& word) {
  for (size_t i = parent + 1; i < rows.size() && rows[i].level > rows[parent].level; ++i)
    if (rows[i].parent == parent && rows[i].keyword == Upper(word)) return static_cast<int>(i);
  Fail("no sub-key " + word + " under " + rows[parent].path);
}

int ResolvePath(const std::vector<Row>& rows, const std::vector<std::string>& words) {
  if (words.empty()) Fail("empty path");
  int r = FindTop(rows, words[0]);
  for (size_t i = 1; i < words.size(); ++i) r = FindChild(rows, r, words[i]);
  return r;
}

void ResolveAliases(std::vector<Row>& rows) {
  for (Row& row : rows) {
    if (row.aliasText.empty()) continue;
    std::vector<std::string> w = Words(row.aliasText);
    if (w.size() >= 2 && w[0] == "=") {
      row.aliasSingle = true;
      row.aliasTarget = ResolvePath(rows, std::vector<std::string>(w.begin() + 1, w.end()));
    } else if (w.size() >= 3 && w[0] == "sub-keys" && w[1] == "of") {
      std::vector<std::string> rest(w.begin() + 2, w.end());
      std::string from;
      if (rest.size() >= 3 && rest[rest.size() - 3] == "from" && rest.back() == "on") {
        from = rest[rest.size() - 2];
        rest.resize(rest.size() - 3);
      }
      int owner = ResolvePath(rows, rest);
      if (from.empty()) {
        if (owner + 1 >= static_cast<int>(rows.size()) ||
            rows[owner + 1].level != rows[owner].level + 1)
          Fail("no sub-keys of " + row.aliasText);
        row.aliasTarget = owner + 1;
      } else {
        row.aliasTarget = FindChild(rows, owner, from);
      }
    } else if (w.size() == 5 && w[0] == "top-level" && w[1] == "keys" && w[2] == "from" &&
               w[4] == "on") {
      row.aliasTarget = FindTop(rows, w[3]);
    } else {
      Fail("unknown alias form [" + row.aliasText + "]");
    }
    row.argCount = row.aliasSingle ? -(row.aliasTarget + 10000) : -row.aliasTarget;
  }
}

std::string Piece(const std::string& spelled) {
  if (spelled == "?") return "Question";
  if (spelled == ">") return "Greater";
  bool hasLower = false;
  for (char c : spelled) hasLower |= std::islower(static_cast<unsigned char>(c)) != 0;
  if (hasLower || spelled.size() <= 2) return spelled;
  std::string s = spelled;
  for (size_t i = 1; i < s.size(); ++i)
    s[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
  return s;
}

std::string Pieces(const std::vector<Row>& rows, int r) {
  std::string out;
  for (; r >= 0; r = rows[r].parent) out = Piece(rows[r].spelled) + out;
  return out;
}

void NameRows(std::vector<Row>& rows) {
  std::set<std::string> used;
  std::map<std::string, int> aliasCount;
  for (size_t i = 0; i < rows.size(); ++i) {
    Row& row = rows[i];
    const std::string parentPath = row.parent >= 0 ? rows[row.parent].path + "." : std::string();
    // Sub-keys: "par" with one "r" more per level below the first, the parent and the name
    // (parMarkCase, parrShowKind); the whole path when that name is taken. Alias rows: their
    // parent's path and the target without its top-level key (parHeadBorderColorBorderLeft).
    std::string fallback;
    if (row.aliasText.empty()) {
      row.path = parentPath + row.keyword;
      if (row.level == 0) {
        row.member = "key" + Piece(row.spelled);
      } else {
        const std::string prefix = "par" + std::string(row.level - 1, 'r');
        row.member = prefix + Piece(rows[row.parent].spelled) + Piece(row.spelled);
        fallback = prefix + Pieces(rows, static_cast<int>(i));
      }
    } else {
      const Row& target = rows[row.aliasTarget];
      row.path = parentPath + "@" + target.path;
      std::string targetPieces = Pieces(rows, row.aliasTarget);
      if (target.level > 0) {
        int top = row.aliasTarget;
        while (rows[top].parent >= 0) top = rows[top].parent;
        targetPieces = targetPieces.substr(Piece(rows[top].spelled).size());
      }
      row.member = "par" + Pieces(rows, row.parent) + targetPieces;
    }
    if (used.count(row.member) && !fallback.empty()) row.member = fallback;
    if (used.count(row.member)) row.member += std::to_string(i);
    used.insert(row.member);
  }
}

// ---- argument-code tables ----

struct Item {
  int value = 0;
  bool prefix = false;
  std::string code, name;
};
struct Table {
  std::string name, kind;
  int def = 0;
  std::vector<Item> items;
};
struct ArgDef {
  int flag = 0, kind = 0;
  std::string table;
};

// Splits a line into blank-separated fields; "..." is one field (quotes removed).
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  size_t p = 0;
  while (p < line.size()) {
    if (line[p] == ' ' || line[p] == '\t') {
      ++p;
      continue;
    }
    if (line[p] == '"') {
      size_t e = line.find('"', p + 1);
      if (e == std::string::npos) Fail("unclosed quote: " + line);
      out.push_back(line.substr(p + 1, e - p - 1));
      p = e + 1;
    } else {
      size_t e = line.find_first_of(" \t", p);
      if (e == std::string::npos) e = line.size();
      out.push_back(line.substr(p, e - p));
      p = e;
    }
  }
  return out;
}

void ParseCodes(const std::string& text, std::vector<Table>& tables,
                std::vector<std::pair<std::string, std::vector<ArgDef>>>& args) {
  Table* cur = nullptr;
  for (const std::string& raw : Lines(text)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (cur) {
      if (line == "end") {
        cur = nullptr;
        continue;
      }
      std::vector<std::string> f = Fields(line);
      Item it;
      size_t k = 0;
      if (cur->kind == "pos") {
        it.value = static_cast<int>(cur->items.size());
      } else if (cur->kind == "bool") {
        it.value = f.at(k++) == "true" ? 1 : 0;
      } else {
        it.value = std::stoi(f.at(k++));
        if (cur->kind == "prefix") it.prefix = f.at(k++) == "prefix";
      }
      if (f.size() != k + 2) Fail("bad item: " + line);
      it.code = f[k];
      it.name = f[k + 1];
      cur->items.push_back(it);
      continue;
    }
    std::vector<std::string> f = Fields(line);
    if (f[0] == "table") {
      if (f.size() != 4) Fail("bad table line: " + line);
      tables.push_back(Table{f[1], f[2], std::stoi(f[3]), {}});
      if (std::string(" pos bool int prefix ").find(" " + f[2] + " ") == std::string::npos)
        Fail("bad table kind: " + line);
      cur = &tables.back();
    } else if (f[0] == "args") {
      size_t colon = line.find(':');
      if (colon == std::string::npos) Fail("bad args line: " + line);
      std::string path = Trim(line.substr(4, colon - 4));
      std::vector<ArgDef> defs;
      std::istringstream groups(line.substr(colon + 1));
      std::string g;
      while (std::getline(groups, g, ',')) {
        std::vector<std::string> w = Words(g);
        if (w.size() != 3) Fail("bad argument group: " + line);
        defs.push_back(
            ArgDef{std::stoi(w[0]), std::stoi(w[1]), w[2] == "-" ? std::string() : w[2]});
      }
      args.emplace_back(path, defs);
    } else {
      Fail("unknown line: " + line);
    }
  }
  if (cur) Fail("table " + cur->name + " has no end");
}

std::string CString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void WriteIfChanged(const std::string& name, const std::string& text) {
  std::ifstream in(name, std::ios::binary);
  if (in) {
    std::ostringstream ss;
    ss << in.rdbuf();
    if (ss.str() == text) return;
  }
  std::ofstream out(name, std::ios::binary);
  out << text;
  if (!out) Fail("cannot write " + name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: orv_keycatalog KEYS ARGCODES OUT_HEADER OUT_SOURCE\n";
    return 2;
  }
  try {
    std::string listing;
    for (const std::string& line : Lines(ReadFile(argv[1]))) {
      std::string t = Trim(line);
      if (t.empty() || t[0] == '#') continue;
      if (t.rfind("- ", 0) != 0) Fail("listing line must start with \"- \": " + t);
      if (!listing.empty()) listing += ";";
      listing += t.substr(2);
    }
    std::vector<Row> rows = ListingParser(listing).Parse();
    ResolveAliases(rows);
    NameRows(rows);

    std::vector<Table> tables;
    std::vector<std::pair<std::string, std::vector<ArgDef>>> args;
    ParseCodes(ReadFile(argv[2]), tables, args);
    std::map<std::string, const Table*> tableByName;
    for (const Table& t : tables) tableByName[t.name] = &t;
    std::map<int, size_t> argsOfRow;
    for (size_t i = 0; i < args.size(); ++i) {
      std::vector<std::string> w;
      std::istringstream ss(args[i].first);
      std::string part;
      while (std::getline(ss, part, '.')) w.push_back(part);
      int r = ResolvePath(rows, w);
      if (argsOfRow.count(r)) Fail("two descriptor lines for " + args[i].first);
      argsOfRow[r] = i;
      for (const ArgDef& d : args[i].second)
        if (!d.table.empty() && !tableByName.count(d.table)) Fail("unknown table " + d.table);
    }

    std::ostringstream h;
    h << "#pragma once\n// Generated by orv_keycatalog from src/reports/lang/keys.txt; do not "
         "edit.\n\n"
      << "enum TKeys : int {\n";
    for (size_t i = 0; i < rows.size(); ++i) h << "  " << rows[i].member << " = " << i << ",\n";
    h << "};\n\ninline constexpr int KeyCount = " << rows.size() << ";\n";

    std::ostringstream c;
    c << "// Generated by orv_keycatalog from src/reports/lang/keys.txt and argcodes.txt; do not "
         "edit.\n"
      << "#include \"reports/lang/orvReps_KeyDefs.h\"\n\nnamespace {\n\n";
    static const std::map<std::string, std::string> kinds = {
        {"pos", "Position"}, {"bool", "Bool"}, {"int", "OrInt"}, {"prefix", "OrPrefix"}};
    for (const Table& t : tables) {
      c << "const TArgCodeItem Items" << t.name << "[] = {\n";
      for (const Item& it : t.items)
        c << "    {" << it.value << ", " << (it.prefix ? "true" : "false") << ", "
          << CString(it.code) << ", " << CString(it.name) << "},\n";
      c << "};\n";
    }
    c << "\n}  // namespace\n\nnamespace orvReps_KeyDefs {\n\n";
    for (const Table& t : tables) c << "extern const TArgCodeTable ArgCodes" << t.name << ";\n";
    for (const Table& t : tables)
      c << "const TArgCodeTable ArgCodes" << t.name << " = {TArgCodeKind::" << kinds.at(t.kind)
        << ", " << t.items.size() << ", " << t.def << ", Items" << t.name << "};\n";
    c << "\n}  // namespace orvReps_KeyDefs\n\nnamespace {\n\nusing namespace orvReps_KeyDefs;\n\n";
    for (const auto& [r, i] : argsOfRow) {
      c << "const TKeyArgDef Args" << r << "[] = {";
      for (const ArgDef& d : args[i].second)
        c << "{" << d.flag << ", " << d.kind << ", "
          << (d.table.empty() ? "nullptr" : "&ArgCodes" + d.table) << "}, ";
      c << "};\n";
    }
    c << "\n}  // namespace\n\nconst TKeyDef KeyDefs[KeyCount] = {\n";
    for (size_t i = 0; i < rows.size(); ++i) {
      const Row& r = rows[i];
      auto a = argsOfRow.find(static_cast<int>(i));
      c << "    {" << CString(r.keyword) << ", " << r.level << ", " << r.argCount << ", ";
      if (a != argsOfRow.end())
        c << args[a->second].second.size() << ", Args" << i;
      else
        c << "0, nullptr";
      c << "},\n";
    }
    c << "};\n\nconst char* const KeyPaths[KeyCount] = {\n";
    for (const Row& r : rows) c << "    " << CString(r.path) << ",\n";
    c << "};\n";

    WriteIfChanged(argv[3], h.str());
    WriteIfChanged(argv[4], c.str());
  } catch (const std::exception& e) {
    std::cerr << "orv_keycatalog: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
