#include "qtstore/QtSettingsStore.h"

#include <QSettings>
#include <QStringList>


namespace {
constexpr char kOrganization[] = "ORV";
constexpr char kApplication[] = "Kinex2";

QString Key(std::string_view section, std::string_view name) {
  QString key = QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size()));
  if (!key.isEmpty()) key += QLatin1Char('/');
  return key + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::string ToStd(const QString& s) {
  return s.toUtf8().toStdString();
}

QString PathText(const std::filesystem::path& p) {
  const std::u8string u = p.u8string();
  return QString::fromUtf8(reinterpret_cast<const char*>(u.data()),
                           static_cast<qsizetype>(u.size()));
}
}  // namespace

CQtSettingsStore::CQtSettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings)) {}

CQtSettingsStore::~CQtSettingsStore() = default;

std::unique_ptr<CQtSettingsStore> CQtSettingsStore::UserStore() {
  return std::unique_ptr<CQtSettingsStore>(new CQtSettingsStore(std::make_unique<QSettings>(
      QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication)));
}

std::unique_ptr<CQtSettingsStore> CQtSettingsStore::MachineStore() {
  return std::unique_ptr<CQtSettingsStore>(new CQtSettingsStore(std::make_unique<QSettings>(
      QSettings::NativeFormat, QSettings::SystemScope, kOrganization, kApplication)));
}

std::unique_ptr<CQtSettingsStore> CQtSettingsStore::IniFile(const std::filesystem::path& file) {
  return std::unique_ptr<CQtSettingsStore>(
      new CQtSettingsStore(std::make_unique<QSettings>(PathText(file), QSettings::IniFormat)));
}

std::optional<std::int64_t> CQtSettingsStore::ReadInt(std::string_view section,
                                                      std::string_view name) const {
  const QVariant v = m_settings->value(Key(section, name));
  switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Bool:
      return v.toLongLong();
    case QMetaType::ULongLong: {
      const qulonglong u = v.toULongLong();
      if (u > static_cast<qulonglong>(INT64_MAX)) return std::nullopt;
      return static_cast<std::int64_t>(u);
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
      // An INI file keeps every value as text.
      return ParseStoredInt(v.toString().toStdString());
    default:
      return std::nullopt;
  }
}

std::optional<std::string> CQtSettingsStore::ReadString(std::string_view section,
                                                        std::string_view name) const {
  const QVariant v = m_settings->value(Key(section, name));
  switch (v.typeId()) {
    case QMetaType::QString:
      return ToStd(v.toString());
    case QMetaType::QByteArray:
      return v.toByteArray().toStdString();
    case QMetaType::QStringList:
      // An INI file read back a text with unquoted commas as a list
      // ("Orvane, Inc VX-520" typed in by hand); the pieces lost the blank after
      // each comma.
      return ToStd(v.toStringList().join(QStringLiteral(", ")));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
      return ToStd(v.toString());
    default:
      return std::nullopt;
  }
}

void CQtSettingsStore::WriteInt(std::string_view section, std::string_view name,
                                std::int64_t value) {
  // Values that fit keep the 32-bit integer type the registry stores natively.
  if (value >= INT32_MIN && value <= INT32_MAX) {
    m_settings->setValue(Key(section, name), static_cast<int>(value));
  } else {
    m_settings->setValue(Key(section, name), static_cast<qlonglong>(value));
  }
}

void CQtSettingsStore::WriteString(std::string_view section, std::string_view name,
                                   std::string_view value) {
  m_settings->setValue(Key(section, name),
                       QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

bool CQtSettingsStore::Flush() {
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

std::string CQtSettingsStore::Location() const {
  return ToStd(m_settings->fileName());
}

namespace {

CSettingsStore* OpenStore(QtStoreKind kind, const std::filesystem::path& file) {
  switch (kind) {
    case QtStoreKind::User:
      return CQtSettingsStore::UserStore().release();
    case QtStoreKind::Machine:
      return CQtSettingsStore::MachineStore().release();
    case QtStoreKind::IniFile:
      return CQtSettingsStore::IniFile(file).release();
  }
  return nullptr;
}

std::string UserLocation() {
  return CQtSettingsStore::UserStore()->Location();
}

constexpr CQtStoreProvider kLinkedProvider = {&OpenStore, &UserLocation};

}  // namespace

const CQtStoreProvider* LinkedQtStoreProvider() {
  return &kLinkedProvider;
}

void UseLinkedQtStore() {
  SetQtStoreProvider(&kLinkedProvider);
}
