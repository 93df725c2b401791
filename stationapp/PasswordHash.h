#pragma once

#include <QString>

// The supervisor's password is kept only as a salted, slow hash in one self-describing text:
// "pbkdf2-sha256$<iterations>$<salt>$<hash>", salt and hash in base64. The plain password is
// never stored, logged or printed.

// A new hash of the password with a fresh random 16-byte salt; one check of it takes a
// noticeable fraction of a second, so guessing is slow.
QString HashPassword(const QString& password);

// Whether the text has the shape HashPassword gives (a hash that can be checked at all).
bool IsPasswordHash(const QString& stored);

// Whether the password gives the stored hash; false for anything malformed. The comparison
// takes the same time wherever the first difference lies.
bool PasswordMatches(const QString& password, const QString& stored);
