#include "StoreEngine.h"

#include "PostgresEngine.h"
#include "SqliteEngine.h"

#include <memory>

namespace {

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

}

ByteSource::ByteSource(std::string bytes)
    : size_(bytes.size()),
      read_([kept = std::make_shared<const std::string>(std::move(bytes))](std::uint64_t offset, std::size_t size) {
          return kept->substr(std::size_t(offset), size);
      })
{
}

const std::string& SqlRow::text(int column) const
{
    static const std::string empty;
    const std::optional<std::string>& value = columns_.at(std::size_t(column));
    return value ? *value : empty;
}

std::string SqlRow::take(int column)
{
    std::optional<std::string>& value = columns_.at(std::size_t(column));
    return value ? std::move(*value) : std::string();
}

std::int64_t SqlRow::number(int column) const
{
    const std::optional<std::string>& value = columns_.at(std::size_t(column));
    return value && !value->empty() ? std::stoll(*value) : 0;
}

int StoreEngine::schemaVersion()
{
    int version = 0;
    read([&](SqlConnection& db) { version = int(db.query("SELECT version FROM schema_version").at(0).number(0)); });
    return version;
}

void StoreEngine::checkVersion(int found, const std::string& location)
{
    if (found > kSchemaVersion)
        throw StoreError("the store " + location + " has schema version " + std::to_string(found)
                         + ", newer than this course-server knows (" + std::to_string(kSchemaVersion)
                         + "): a newer course-server wrote it. Run that version, or restore a backup "
                           "made for this one; nothing was changed.");
}

std::unique_ptr<StoreEngine> StoreEngine::open(const std::string& location, Commit commit)
{
    if (startsWith(location, "postgresql://") || startsWith(location, "postgres://")
        || (location.find('=') != std::string::npos && !startsWith(location, "sqlite:")))
        return std::make_unique<PostgresEngine>(location);
    return std::make_unique<SqliteEngine>(startsWith(location, "sqlite:") ? location.substr(7) : location, commit);
}
