#pragma once
// The hall's passwords: what hall.db keeps is an Argon2id string (libsodium's
// crypto_pwhash_str), never the password. Checking one costs about 17 ms of a core on the
// build machine, so a password once checked is remembered for the run, in memory only, as a
// hash keyed with a secret of this run, and every later sign-in of a game costs a
// microsecond.
#include <QByteArray>
#include <QHash>

#include <array>
#include <functional>
#include <optional>

namespace passwords {

// Three passes over 12 MiB, one lane: one of the configurations OWASP gives for Argon2id,
// as strong as two passes over 19 MiB and the quickest of them here (17 ms against 58 ms).
// libsodium's INTERACTIVE (64 MiB) took 380 ms, which would make the first import of
// 10,000 accounts an hour long on two cores.
inline constexpr unsigned long long kOpsLimit = 3;
inline constexpr size_t kMemLimit = 12u * 1024 * 1024;

// The Argon2id string of a password; nothing when the memory for it cannot be had.
std::optional<QByteArray> Hash(const QByteArray& password);
// True when `stored` is an Argon2id string of `password`.
bool Verify(const QByteArray& stored, const QByteArray& password);
// True for what Hash() makes; a hall file from before kept the passwords as typed.
bool IsHashed(const QByteArray& stored);
// Runs job(0) .. job(count - 1) on every core and returns when all are done.
void ForEach(int count, const std::function<void(int)>& job);

}  // namespace passwords

// The passwords checked during this run, by account: a keyed hash of each, the key drawn
// at random when the hall starts and never written anywhere.
class LoginMemory {
public:
    LoginMemory();
    ~LoginMemory();
    LoginMemory(const LoginMemory&) = delete;
    LoginMemory& operator=(const LoginMemory&) = delete;

    bool remembers(const QByteArray& user, const QByteArray& password) const;
    void remember(const QByteArray& user, const QByteArray& password);

private:
    using Digest = std::array<unsigned char, 32>;
    Digest digest(const QByteArray& user, const QByteArray& password) const;

    std::array<unsigned char, 32> key_{};
    QHash<QByteArray, Digest> known_;
};
