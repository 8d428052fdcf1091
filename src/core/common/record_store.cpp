#include "core/common/record_store.h"

#include <fstream>
#include <random>
#include <system_error>

namespace wb {

namespace fs = std::filesystem;

bool read_file(const fs::path& path, std::vector<std::uint8_t>& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0, std::ios::beg);
  content.assign(static_cast<std::size_t>(size), 0);
  if (size > 0 && !in.read(reinterpret_cast<char*>(content.data()), size)) return false;
  return true;
}

bool write_file_atomic(const fs::path& path, const std::vector<std::uint8_t>& content) {
  std::random_device rd;
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(rd() % 100000);
  return write_file_via(path, tmp, content);
}

bool write_file_via(const fs::path& path, const fs::path& tmp, const std::vector<std::uint8_t>& content) {
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    if (!content.empty()) out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      fs::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

RecordStore::RecordStore(fs::path path, std::size_t record_length) : path_(std::move(path)), len_(record_length) {}

bool RecordStore::exists() const {
  std::error_code ec;
  return fs::is_regular_file(path_, ec);
}

StoreStatus RecordStore::load(std::vector<std::uint8_t>& content) const {
  content.clear();
  std::error_code ec;
  if (!fs::exists(path_, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  if (!fs::is_regular_file(path_, ec)) return StoreStatus::IoError;
  if (!read_file(path_, content)) return StoreStatus::IoError;
  if (len_ == 0 || content.size() % len_ != 0) return StoreStatus::Damaged;
  return StoreStatus::Ok;
}

// Drops record r (from 1) of the loaded content; a number outside 1..count changes nothing.
static void erase_record(std::vector<std::uint8_t>& content, std::size_t len, std::size_t r) {
  const std::size_t n = content.size() / len;
  if (r >= 1 && r <= n)
    content.erase(content.begin() + static_cast<std::ptrdiff_t>((r - 1) * len),
                  content.begin() + static_cast<std::ptrdiff_t>(r * len));
}

// A library marked read-only is not replaced behind its back by the rename.
static bool writable_or_missing(const fs::path& p) {
  std::error_code ec;
  auto st = fs::status(p, ec);
  if (ec || !fs::exists(st)) return true;
  return (st.permissions() & fs::perms::owner_write) != fs::perms::none;
}

StoreStatus RecordStore::store(const std::vector<std::uint8_t>& content) {
  if (!writable_or_missing(path_)) return StoreStatus::IoError;
  return write_file_atomic(path_, content) ? StoreStatus::Ok : StoreStatus::IoError;
}

StoreStatus RecordStore::count(std::size_t& n) const {
  n = 0;
  std::error_code ec;
  if (!fs::exists(path_, ec)) return ec ? StoreStatus::IoError : StoreStatus::Ok;
  auto size = fs::file_size(path_, ec);
  if (ec) return StoreStatus::IoError;
  if (len_ == 0 || size % len_ != 0) return StoreStatus::Damaged;
  n = static_cast<std::size_t>(size / len_);
  return StoreStatus::Ok;
}

StoreStatus RecordStore::read(std::size_t r, Bytes& out) const {
  std::size_t n = 0;
  StoreStatus st = count(n);
  if (st != StoreStatus::Ok) return st;
  if (r < 1 || r > n) return StoreStatus::IoError;
  std::ifstream in(path_, std::ios::binary);
  if (!in) return StoreStatus::IoError;
  in.seekg(static_cast<std::streamoff>((r - 1) * len_));
  out.assign(len_, 0);
  if (!in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(len_))) return StoreStatus::IoError;
  return StoreStatus::Ok;
}

StoreStatus RecordStore::read_all(std::vector<Bytes>& out) const {
  out.clear();
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  for (std::size_t off = 0; off + len_ <= content.size(); off += len_)
    out.emplace_back(content.begin() + static_cast<std::ptrdiff_t>(off),
                     content.begin() + static_cast<std::ptrdiff_t>(off + len_));
  return StoreStatus::Ok;
}

StoreStatus RecordStore::find(const Match& match, std::size_t& found) const {
  found = 0;
  std::vector<Bytes> recs;
  StoreStatus st = read_all(recs);
  if (st != StoreStatus::Ok) return st;
  for (std::size_t i = 0; i < recs.size(); ++i)
    if (match(recs[i])) {
      found = i + 1;
      break;
    }
  return StoreStatus::Ok;
}

StoreStatus RecordStore::write(std::size_t r, const Bytes& rec) {
  if (rec.size() != len_) return StoreStatus::IoError;
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  std::size_t n = content.size() / len_;
  if (r < 1 || r > n + 1) return StoreStatus::IoError;
  if (r == n + 1) content.resize(content.size() + len_);
  std::copy(rec.begin(), rec.end(), content.begin() + static_cast<std::ptrdiff_t>((r - 1) * len_));
  return store(content);
}

StoreStatus RecordStore::save_replace(const Match& match, const Bytes& rec, std::size_t& result) {
  result = 0;
  if (rec.size() != len_) return StoreStatus::IoError;
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  std::size_t n = content.size() / len_;
  for (std::size_t i = 0; i < n; ++i) {
    Bytes s(content.begin() + static_cast<std::ptrdiff_t>(i * len_),
            content.begin() + static_cast<std::ptrdiff_t>((i + 1) * len_));
    if (match(s)) {
      std::copy(rec.begin(), rec.end(), content.begin() + static_cast<std::ptrdiff_t>(i * len_));
      return store(content);
    }
  }
  content.insert(content.end(), rec.begin(), rec.end());
  st = store(content);
  if (st == StoreStatus::Ok) result = n + 1;
  return st;
}

StoreStatus RecordStore::remove(std::size_t r) {
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  erase_record(content, len_, r);
  if (content.empty()) return remove_file();
  return store(content);
}

StoreStatus RecordStore::remove_via(std::size_t r, const fs::path& backup) {
  std::vector<std::uint8_t> content;
  StoreStatus st = load(content);
  if (st != StoreStatus::Ok) return st;
  erase_record(content, len_, r);
  if (!writable_or_missing(path_)) return StoreStatus::IoError;
  std::error_code ec;
  fs::remove(backup, ec);
  return write_file_via(path_, backup, content) ? StoreStatus::Ok : StoreStatus::IoError;
}

StoreStatus RecordStore::remove_file() {
  std::error_code ec;
  fs::remove(path_, ec);
  return ec ? StoreStatus::IoError : StoreStatus::Ok;
}

}  // namespace wb
