// Keyed record store: one file of fixed-length records numbered from 1, no header.
// Record r occupies bytes (r-1)*L .. r*L-1. Keys (well name, test date) are compared by
// the caller's match function, usually after Trim_Blank_Nul.
//
// Replacing or appending one record writes that record alone, in place (pwrite at its
// offset, or at the end of the file to append), made safe by the save journal described
// below: a kill or a power cut leaves the record as it was or as it was written, never torn.
// Finding the record reads keys record by record through a buffer of at most 1 MB, never
// the whole file. A record written outside an open SaveSet goes through a set of its own
// (one file, one journal entry, the writer lock held). A library not directly in the sys
// or data folder of a program folder (a file the user chose elsewhere) has no journal to
// go through and is rewritten whole, as is a library that does not exist yet.
//
// Deleting a record rewrites the whole file into a new temporary file in the same folder (a
// name nobody can guess, created exclusively), syncs it to the disk, renames it over the
// library and syncs the folder: a failed write or a power cut leaves the old or the new
// library, never a half-written one. Temporary files of an interrupted save go at the next
// write. A temporary is "<name>.tmp<16 hex digits>", or ".<hash of the name>.tmp<16 hex
// digits>" when the name is too long for that, so every name of up to 255 bytes can be
// written. A file whose length is not a whole number of records is reported as damaged and
// is never written.
//
// A save that changes several files (a test's efficiency record, its summary and its well
// base record; a balance record with its well base and summary records) goes through a
// SaveSet, so that the program sees all of them changed or none, even after a kill or a
// power cut half way:
//   1. While the set is open, RecordStore gathers its changes in memory instead of writing
//      them: the records written to each file (offset and bytes: "patches"), or the whole
//      new content of a file it rewrites (a deletion, a new file). Reads of a gathered file
//      go through the set and see the changes. The set holds the program folder's writer
//      lock (writer_lock.h) from its opening to its end.
//   2. commit() writes an intent file (sys/save.jnl) in state P
//      ("prepared") naming what the save is (for the user) and each file it changes:
//      - a file rewritten whole: the temporary file that will replace it (".wbsave-" and 16
//        random hexadecimal digits, in the library's folder: short, so any library name
//        fits), with the length and FNV-1a hash of the new content;
//      - a file patched in place: its old length, its new length, an identity hash and, for
//        each patch, the offset, the OLD bytes there (none for an append) and the length and
//        FNV-1a hash of the new bytes. The identity hash covers up to 4 096 bytes of the old
//        file before and after each patch and at its start, leaving out the patched bytes:
//        content, not an inode, so that a copied or moved folder still finishes its own save,
//        and bytes a torn write cannot have touched, so that a half-written record is still
//        recognised as this file's.
//      The journal file stays once made (the program makes it empty at start): empty, it
//      names no save, and the intent is written into it in place and synced (fdatasync) —
//      one sync, where a new file would need its folder synced too. Then each patch is
//      written (pwrite, then fdatasync of the file). A save of records alone then empties
//      the journal file (ftruncate, fdatasync): that is its moment. Two syncs and one per
//      library. A save that rewrites files whole also writes and syncs each temporary file,
//      syncs their folders, writes the intent file anew in state C ("committed"; a new file
//      renamed over it, the folder synced): that is its moment; then each temporary file is
//      renamed over its library, the folders are synced and the journal file is emptied.
//      A power cut between any two syncs leaves the journal in the state of the last one
//      (save_syncs_test.cpp replays every such cut).
//   3. finish_interrupted_save() runs before anything reads the libraries (at program start
//      and when a set is opened). No intent file, or an empty one: nothing to do. A prepared
//      journal whose one write a kill cut short (whole 4 kB pages, ending before its last
//      field) is emptied: its save wrote nothing yet. State P: the save never
//      happened (roll back): its temporary files are removed, and each patched file gets
//      its old bytes back at every patch and is cut to its old length (an append undone),
//      then synced. A rollback undoes only what its save can have done: each patch must hold
//      its old bytes, its new bytes, or a write torn between 512-byte sectors with a sector
//      still old; appended bytes reaching the new length must be the new ones; and a file
//      whose identity covers no byte (an old length of 0, or patches over all of it; saves
//      write such files whole) must hold all its old or all its new bytes. State C: every temporary file still there is renamed over its library
//      (roll forward); a library whose temporary file is gone must already hold the recorded
//      content; a patched file must have its new length and the new bytes at every patch. A
//      patched file whose identity does not match (another file put in its place) or whose
//      length fits neither state, a temporary file or library that matches neither, or an
//      intent file that does not read back whole, makes the roll fail and nothing is
//      changed; the failure is reported, never taken for success. At start,
//      recover_interrupted_save() sets such a save aside instead, so that saving goes on
//      (see there). Every file is checked before any is changed.
// The intent file trusts none of its names. They are relative to the program folder (the
// folder above sys), so a folder moved or copied with a save pending finishes its own save.
// A set writes only libraries ("*.dat") directly in sys or data, each through a ".wbsave-"
// file beside it or in place; an intent file naming anything else (an absolute name, "..",
// another folder, a temporary file of another name or folder, one file twice), or a sys or
// data folder, library or temporary file that is a symbolic link, is refused whole before any
// file is touched, as is one whose patches overlap, leave a hole, or do not add up to the
// lengths it gives. The intent file format: "WBSAVE3\n", the state letter, the description,
// the count, the entries, then the FNV-1a hash of everything before it; numbers 8 bytes low
// first, texts and byte strings a length then the bytes (names UTF-8). An entry starts with
// its kind: 0, a file rewritten whole (library, temporary file, length, hash); 1, a file
// patched in place (library, old length, new length, identity hash, the count of patches,
// each patch's offset, old bytes, new length and new hash). Intent files of "WBSAVE2\n"
// (whole files only, no kind) and "WBSAVE1\n" (no description, absolute names) are read
// too: a name in this program folder counts as its relative name, any other is refused.
// Temporary files of single writes ("<name>.tmp…") are never part of a set; ".wbsave-"
// files are removed when a set next writes into their folder, the writer lock held and no
// intent file pending, so none of them can belong to a live save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/common/file_identity.h"
#include "core/common/writer_lock.h"

namespace wb {

class KeyMatch;

// Whether a step on a library succeeded; a dropped status is a dropped failure.
enum class [[nodiscard]] StoreStatus { Ok, Damaged, IoError };

// The message texts of a damaged library.
inline constexpr const char* kBadFormatText = "非法的文件格式!";
inline constexpr const char* kBadFormatTitle = "不能打开!";

class RecordStore {
 public:
  using Match = std::function<bool(const Bytes&)>;

  RecordStore(std::filesystem::path path, std::size_t record_length);

  const std::filesystem::path& path() const { return path_; }
  std::size_t record_length() const { return len_; }
  bool exists() const;

  // Number of whole records; a missing file has 0. Damaged when the length is not whole.
  StoreStatus count(std::size_t& n) const;
  // Reads record r (1-based). IoError when r is outside 1..count.
  StoreStatus read(std::size_t r, Bytes& out) const;
  StoreStatus read_all(std::vector<Bytes>& out) const;
  // First record (1-based) for which match() holds; 0 when none.
  StoreStatus find(const Match& match, std::size_t& found) const;
  // The same for a key compared as stored (key_match.h): only the key bytes of each record
  // are looked at. Within an open SaveSet the answer is kept until the set changes the
  // library or anything changes the file, so a save asks each library once.
  StoreStatus find(const KeyMatch& key, std::size_t& found) const;

  // Writes record r in 1..count+1 (count+1 appends): that record alone (see the top).
  StoreStatus write(std::size_t r, const Bytes& rec);
  // Replace: overwrites the first matching record and sets `result` to 0, otherwise
  // appends and sets `result` to the new record's number.
  StoreStatus save_replace(const Match& match, const Bytes& rec, std::size_t& result);
  StoreStatus save_replace(const KeyMatch& key, const Bytes& rec, std::size_t& result);
  // Removes record r; the records after it move down by one. An r outside 1..count
  // rewrites the library unchanged. When the last record goes, the file is removed.
  StoreStatus remove(std::size_t r);
  // As remove(), but the remaining records are first written whole into `backup` (a file
  // in the same folder, replaced when left over from an interrupted deletion), which is
  // then renamed over the library. An emptied library stays as a file of length 0.
  StoreStatus remove_via(std::size_t r, const std::filesystem::path& backup);
  // Deletes the file (a missing file is fine).
  StoreStatus remove_file();

  // For tests that compare the stored bytes of both ways: while on, write() and
  // save_replace() rewrite the whole file as deletions do, instead of writing one record.
  static void set_whole_file_writes(bool on);

 private:
  StoreStatus load(std::vector<std::uint8_t>& content) const;
  StoreStatus store(const std::vector<std::uint8_t>& content);
  StoreStatus write_whole(std::size_t r, const Bytes& rec);
  // The rest of save_replace once the record of the key (0: none) is known.
  StoreStatus replace_found(std::size_t found, const Bytes& rec, std::size_t& result);
  // Bytes [offset, offset + out.size()) of the library as the open set sees it.
  StoreStatus read_at(std::uint64_t offset, std::vector<std::uint8_t>& out) const;

  std::filesystem::path path_;
  std::size_t len_;
};

// Writes `content` to `path` durably through a temporary file in the same folder and a
// rename, first removing temporary files an interrupted write of `path` left behind.
// (RecordStore also refuses to replace a library whose owner-write permission is off.)
[[nodiscard]] bool write_file_atomic(const std::filesystem::path& path, const std::vector<std::uint8_t>& content);
// The same, saying in `why` what failed (ENOSPC for a full disk, EACCES, …).
[[nodiscard]] bool write_file_atomic(const std::filesystem::path& path, const std::vector<std::uint8_t>& content,
                                     std::error_code& why);
// The same through a temporary file of the caller's choosing, which must not exist (an
// existing file or link there fails the write and is left alone; removed again on failure).
[[nodiscard]] bool write_file_via(const std::filesystem::path& path, const std::filesystem::path& temp,
                                  const std::vector<std::uint8_t>& content);
// How many times this process has written or removed a file through this store (each
// write, deletion, rename and roll of a save counts): a cache of what a library holds stays
// valid only while the count has not moved, however coarse the file's modification time.
std::uint64_t library_writes();
// Reads a whole file; false when it is no regular file (a folder, a device) or cannot be opened or read.
[[nodiscard]] bool read_file(const std::filesystem::path& path, std::vector<std::uint8_t>& content);

// The intent file of multi-file saves, in the program's sys folder.
inline constexpr const char* kSaveJournalName = "save.jnl";
// Whether the intent file names a save still to be finished or undone. The file stays once
// made: missing or empty, it names none.
bool save_pending(const std::filesystem::path& journal);

// Runs `body`, a deletion that rewrites the library `path`, as every deletion of a library
// runs: outside any open set, inside a set of its own, so that a save a kill cut short is
// finished (or undone) before the file is read and rewritten, and the folder's writer lock
// is held. A file that is no library of a program folder (one chosen elsewhere) runs it as
// it is. IoError, `body` not run, when the set cannot be opened.
StoreStatus under_library_set(const std::filesystem::path& path, const std::function<StoreStatus()>& body);

// Whether `library` is one a save set on `journal` (sys/save.jnl of a program folder) can
// write with other libraries: a "*.dat" directly in that folder's sys or data folder. A
// library chosen elsewhere is read and rewritten alone, but a save of several refuses it.
bool joins_save_sets(const std::filesystem::path& library, const std::filesystem::path& journal);
// What an intent file says, read against its program folder. `readable`: it read back whole
// (magic, state, entries, hash); `sound`: also every name is one a save set writes (see the
// top of this file), each library and temporary file named once. `cause` says why not.
struct SaveJournal {
  // A record (or run of records) written in place: the bytes there before (none where it
  // lies past the old length), the length and hash of the bytes written.
  struct Patch {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> old_bytes;
    std::uint64_t size = 0, hash = 0;
  };
  struct Entry {
    std::string target, temp;  // relative to the program folder, "/" between the parts
    std::uint64_t size = 0, hash = 0;  // of the whole new content (temp not empty)
    // A file patched in place (temp empty): its old and new length, the hash of its
    // identity bytes (see the top of this file) and the patches in rising offsets.
    bool in_place = false;
    std::uint64_t old_length = 0, new_length = 0, identity = 0;
    std::vector<Patch> patches;
  };
  bool readable = false, sound = false;
  // Not readable, but the beginning of a prepared journal whose writing a kill cut short:
  // its save had written nothing yet.
  bool cut_short = false;
  char state = 0;    // 'P' or 'C'
  std::string what;  // the save, for the user ("系统效率数据（井 …）")
  std::vector<Entry> entries;
  std::string cause;
};
SaveJournal read_save_journal(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& program_folder);
// The bytes of an intent file in the current format ("WBSAVE3"), as commit() writes them.
std::vector<std::uint8_t> encode_save_journal(const SaveJournal& journal);

// Completes or undoes a multi-file save a kill interrupted (see the top of this file). Ok
// when there was none or it was rolled forward or back; IoError when it could not be (nothing
// changed then) or when the folder's writer lock is not held (another process holds it, or it
// cannot be taken).
StoreStatus finish_interrupted_save(const std::filesystem::path& journal);

// At program start: as finish_interrupted_save, but a save that cannot be completed is set
// aside so that later saves can go on: the intent file and every ".wbsave-" file of sys
// and data move into a new folder "save.jnl.unfinished-<date>-<time>" in sys (the next
// free name; a temporary file of data becomes "data-wbsave-…"); nothing is deleted and
// every library stays as it is. message() is what the user is told once: which save and
// what was done with it; empty when there was nothing to tell.
struct [[nodiscard]] InterruptedSave {
  enum class Outcome {
    Nothing,    // no intent file
    Completed,  // it had reached its moment: rolled forward
    Undone,     // it had not: rolled back, the libraries as before it
    SetAside,   // could not be completed; moved aside (set_aside_folder)
    Failed,     // could not be completed nor moved aside: multi-file saves stay refused
  };
  Outcome outcome = Outcome::Nothing;
  std::string what;                         // the save, when the intent file said
  std::vector<std::string> libraries;       // the libraries it was to write, when readable
  std::string cause;                        // why it could not be completed
  std::filesystem::path set_aside_folder;
  std::string message() const;
};
InterruptedSave recover_interrupted_save(const std::filesystem::path& journal);

// An all-or-nothing save of several files (see the top of this file). Open one on the stack
// around the RecordStore writes of one save, then commit(); a set left uncommitted writes
// nothing. Sets do not nest: while one is open, current() names it, and code that opens
// its own set only when none is open joins the caller's. `what` names the save for the user
// should it ever have to be set aside.
class SaveSet {
 public:
  explicit SaveSet(std::filesystem::path journal, std::string what = {});
  ~SaveSet();
  SaveSet(const SaveSet&) = delete;
  SaveSet& operator=(const SaveSet&) = delete;

  // Whether an interrupted save could be finished when the set was opened, and the folder's
  // writer lock taken; when not, commit() writes nothing and fails. commit() refuses too when
  // the lock is no longer the one the folder's lock file gives (WriterLock::still_held).
  StoreStatus opened() const { return opened_; }
  // Writes every gathered file or none. Ok also when nothing was gathered.
  StoreStatus commit();
  // Why opened() or commit() failed, for the user's message (no final full stop).
  const std::string& cause() const { return cause_; }

  static SaveSet* current();
  // Whether the set holds changes of `path`.
  bool gathered(const std::filesystem::path& path) const;
  // The length of `path` with the gathered changes; false when the set holds none.
  bool gathered_length(const std::filesystem::path& path, std::uint64_t& length) const;
  // Bytes [offset, offset + out.size()) of `path` with the gathered changes; IoError past
  // its end or when the file cannot be read.
  StoreStatus read_gathered(const std::filesystem::path& path, std::uint64_t offset,
                            std::vector<std::uint8_t>& out) const;
  // The whole content of `path` with the gathered changes (the file as it is when none).
  StoreStatus gathered_content(const std::filesystem::path& path, std::vector<std::uint8_t>& out) const;
  // The record a find of `identity` (KeyMatch::identity) found in `path` earlier in the set,
  // while neither the set nor anything else has changed the file since; false otherwise.
  bool recall_find(const std::filesystem::path& path, std::size_t record_length, const std::string& identity,
                   std::size_t& found) const;
  // `seen`: the file's identity taken before the find read it.
  void remember_find(const std::filesystem::path& path, std::size_t record_length, const std::string& identity,
                     std::size_t found, const FileIdentity& seen);
  // Gathers the whole new content of `path` (it replaces any patches gathered before).
  void gather(const std::filesystem::path& path, std::vector<std::uint8_t> content);
  // Gathers `bytes` to be written at `offset` of `path`, at most at its (gathered) end.
  // A file that does not exist yet is gathered whole. IoError when `path` is no regular
  // file or the offset lies past the end.
  StoreStatus patch(const std::filesystem::path& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes);

 private:
  struct File {
    std::filesystem::path path;
    bool whole = true;
    std::vector<std::uint8_t> content;  // whole: the new content
    // patched: the file's length when first patched, its length now, the patches by offset
    // (none overlapping or touching another).
    std::uint64_t base_length = 0, length = 0;
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> patches;
  };
  // A find's answer and what the file was when it was found (see recall_find).
  struct Found {
    std::filesystem::path path;
    std::size_t record_length = 0;
    std::string identity;
    std::size_t found = 0;
    FileIdentity seen;
  };
  File* find(const std::filesystem::path& path);
  const File* find(const std::filesystem::path& path) const;
  void forget_finds(const std::filesystem::path& key);
  StoreStatus commit_one_whole(const File& f);
  StoreStatus fail(std::string cause);
  std::filesystem::path journal_;
  std::string what_;
  std::vector<File> files_;
  std::vector<Found> finds_;
  std::optional<WriterLock> lock_;
  StoreStatus opened_ = StoreStatus::Ok;
  std::string cause_;
  bool registered_ = false;
};

// Why the last set opened on this thread refused to write anything (the folder's writer lock
// not held or lost, a save left unfinished that cannot be completed), no final full stop;
// empty when it did not. For the failure message of a save that went through a set of its
// own (a record written or removed outside any set): see cause_note (messages.h).
const std::string& set_refusal();

// Removes record r of `store` under the rule of a save: through a SaveSet on `journal`, so
// that an interrupted save is finished first and nothing is written past one that cannot be
// or past another copy of the program on the folder. `cause` gets the set's reason when
// the set refused (empty for a failure of the library itself).
StoreStatus remove_as_save(RecordStore& store, std::size_t r, const std::filesystem::path& journal,
                           std::string what, std::string& cause);

}  // namespace wb
