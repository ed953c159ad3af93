#pragma once
// Files, folders, the command line and the environment, with the runtime's names.
// Names are split at "/" and at "\" alike (stored texts use "\"); new delimiters are "/".
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

using TDateTime = double;  // days since 30 Dec 1899; the fraction is the time of day

inline constexpr QChar PathDelim = QLatin1Char('/');

// ---- names ----
bool IsPathDelimiter(QChar c);
// The folder part through its last delimiter ("" when there is none).
QString ExtractFilePath(const QString& fileName);
// The folder part without its last delimiter (the root keeps it).
QString ExtractFileDir(const QString& fileName);
QString ExtractFileName(const QString& fileName);
// From the last "." of the name part, the dot included; "" when the name has none.
QString ExtractFileExt(const QString& fileName);
QString ChangeFileExt(const QString& fileName, const QString& extension);
QString IncludeTrailingPathDelimiter(const QString& path);
QString ExcludeTrailingPathDelimiter(const QString& path);
// An absolute name with "." and ".." resolved against the current folder; "" for "".
QString ExpandFileName(const QString& fileName);

// ---- files and folders ----
bool FileExists(const QString& fileName);  // a file, not a folder
bool DirectoryExists(const QString& path);
bool DeleteFile(const QString& fileName);  // files only
// Fails when the new name is already taken.
bool RenameFile(const QString& oldName, const QString& newName);
bool CreateDir(const QString& path);
bool RemoveDir(const QString& path);  // an empty folder
// Creates the folder with every missing parent; true when it exists afterwards.
bool ForceDirectories(const QString& path);
QString GetCurrentDir();
bool SetCurrentDir(const QString& path);
// The last write time of a file in local time.
bool FileAge(const QString& fileName, TDateTime& age);
bool FileSetDate(const QString& fileName, TDateTime age);
// The temporary folder with a trailing delimiter: TEMP, else TMP, else the system's.
QString GetTempDir();

// The full name of the file in the folder whose name equals name, the exact spelling first,
// then any other letter case (Cyrillic folded too); "" when there is none.
QString FindFileNoCase(const QString& folder, const QString& name);

// Windows file masks: "*" any run, "?" one character, letter case ignored; "*.*" and "*"
// match every name, a mask ending in "." matches names without an extension.
bool MatchesMask(const QString& name, const QString& mask);

// ---- FindFirst / FindNext ----
enum : int {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faDirectory = 0x10,
  faArchive = 0x20,
  faAnyFile = 0x3F,
};

struct FindState;

struct TSearchRec {
  QString Name;  // without folder
  qint64 Size = 0;
  int Attr = 0;
  TDateTime Time = 0;  // last write, local time
  std::shared_ptr<FindState> State;
};

// Entries of the folder of path matching its name part as a mask. Plain files always come;
// folders with faDirectory, names starting with "." with faHidden; "." and ".." never.
// Answers 0 with the first entry, else an error code (2: nothing found).
int FindFirst(const QString& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);  // 0, or 18 when there are no more entries
void FindClose(TSearchRec& rec);

// ---- program and process ----
// Replaces the arguments the program was started with (main does this; tests too).
void SetCommandLine(const QStringList& arguments);
QString ProgramFileName();  // the executable as the system reports it
QString ProgramDir();       // its folder, with a trailing delimiter
int ParamCount();
// 0 is the program's full name; beyond ParamCount, "".
QString ParamStr(int index);
// The arguments joined with single blanks, as given.
QString CmdLine();
QString GetEnvironmentVariable(const QString& name);
