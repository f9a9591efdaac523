#include "engine/error.h"

namespace engine {

EngineError::EngineError(Kind kind, QString message, QString table)
    : kind_(kind), message_(std::move(message)), table_(std::move(table)),
      utf8_(message_.toUtf8()) {}

} // namespace engine
