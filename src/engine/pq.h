#pragma once
#include <libpq-fe.h>
#include <memory>

// Owning handles over libpq's connection and result, so that an exception thrown between a
// query and its PQclear (or a connect and its PQfinish) frees them.
namespace engine::pq {

struct ConnectionDeleter {
    void operator()(PGconn* conn) const { PQfinish(conn); }
};
struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};

using Connection = std::unique_ptr<PGconn, ConnectionDeleter>;
using Result = std::unique_ptr<PGresult, ResultDeleter>;

} // namespace engine::pq
