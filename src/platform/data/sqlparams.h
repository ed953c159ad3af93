#pragma once
// Finds the ":NAME" parameters of an SQL text and turns the text into the server's
// numbered form ($1, $2, ...).
#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

namespace sqlparams {

// One occurrence of a parameter in the text.
struct Ref {
  QString name;    // without the colon (and without quotes of :"quoted name")
  int start = 0;   // position of the colon
  int length = 0;  // colon included
  bool inComment = false;
};

struct Parsed {
  std::vector<Ref> refs;  // in text order
  QStringList names;      // distinct names (case-insensitive), in order of first appearance
};

// A name starts with a letter, a digit or one of "_", "-", "+", "." and goes on with letters,
// digits, "_", ".", "$" and "#". Quoted strings, quoted identifiers and dollar-quoted bodies
// are skipped; "::" (a cast) and ":=" are no parameters. Parameters inside comments are found
// too (stored texts switch commented lines on), but flagged.
Parsed Parse(const QString& sql);

// The text for the server: each occurrence outside comments becomes $n, numbered by the
// distinct names that occur there; order[n-1] is the index in parsed.names of parameter $n.
struct ServerText {
  QByteArray text;  // UTF-8
  std::vector<int> order;
};
ServerText ToServerText(const QString& sql, const Parsed& parsed);

}  // namespace sqlparams
