#include "passwords.h"

#include <sodium.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

namespace passwords {

namespace {

bool Ready()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

std::optional<QByteArray> Hash(const QByteArray& password)
{
    char text[crypto_pwhash_STRBYTES];
    if (!Ready()
        || crypto_pwhash_str(text, password.constData(), static_cast<unsigned long long>(password.size()), kOpsLimit,
                             kMemLimit) != 0)
        return std::nullopt;
    return QByteArray(text);
}

bool Verify(const QByteArray& stored, const QByteArray& password)
{
    // The string must end within the buffer libsodium reads it from.
    if (!Ready() || !IsHashed(stored) || stored.size() >= crypto_pwhash_STRBYTES)
        return false;
    return crypto_pwhash_str_verify(stored.constData(), password.constData(),
                                    static_cast<unsigned long long>(password.size())) == 0;
}

bool IsHashed(const QByteArray& stored)
{
    return stored.startsWith(crypto_pwhash_argon2id_STRPREFIX);
}

void ForEach(int count, const std::function<void(int)>& job)
{
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < count; i = next++)
            job(i);
    };
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 16);
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(threads, count); ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

}  // namespace passwords

LoginMemory::LoginMemory()
{
    if (sodium_init() < 0)   // libsodium cannot run here at all
        std::abort();
    randombytes_buf(key_.data(), key_.size());
}

LoginMemory::~LoginMemory()
{
    sodium_memzero(key_.data(), key_.size());
}

LoginMemory::Digest LoginMemory::digest(const QByteArray& user, const QByteArray& password) const
{
    // The user goes in with its length first, so that no two pairs make the same input.
    crypto_generichash_state state;
    crypto_generichash_init(&state, key_.data(), key_.size(), sizeof(Digest));
    const quint32 length = quint32(user.size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(&length), sizeof length);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(user.constData()), size_t(user.size()));
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(password.constData()),
                              size_t(password.size()));
    Digest out;
    crypto_generichash_final(&state, out.data(), out.size());
    return out;
}

bool LoginMemory::remembers(const QByteArray& user, const QByteArray& password) const
{
    const auto known = known_.constFind(user);
    if (known == known_.constEnd())
        return false;
    const Digest typed = digest(user, password);
    return sodium_memcmp(typed.data(), known->data(), typed.size()) == 0;
}

void LoginMemory::remember(const QByteArray& user, const QByteArray& password)
{
    known_.insert(user, digest(user, password));
}
