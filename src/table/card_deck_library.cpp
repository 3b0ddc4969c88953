#include "table/card_deck_library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <array>
#include <utility>

namespace table {
namespace {

// Suit rows of the face sheet, as the game numbers its suits; suits 1 and 4
// are black, 2 and 3 red.
constexpr std::array<const char*, kSuitCount> kSuitIds = {"club", "diamond", "heart", "spade"};
constexpr std::array<const char*, kRanksPerSuit> kRankIds = {"1", "2", "3",  "4",    "5",     "6",   "7",
                                                             "8", "9", "10", "jack", "queen", "king"};

QString ElementId(int code) {
  const int suit = (code - 1) / kRanksPerSuit;
  const int rank = (code - 1) % kRanksPerSuit;
  return QString::fromLatin1(kRankIds[rank]) + '_' + QString::fromLatin1(kSuitIds[suit]);
}

// The deck's picture file: the one its description names, else the first
// compressed or plain SVG in the folder.
QString DeckFileIn(const QDir& folder) {
  QFile desc(folder.filePath("index.desktop"));
  if (desc.open(QIODevice::ReadOnly | QIODevice::Text)) {
    while (!desc.atEnd()) {
      const QString line = QString::fromUtf8(desc.readLine()).trimmed();
      if (!line.startsWith("SVG=")) continue;
      const QString name = line.mid(4).trimmed();
      // Only a bare file name inside the deck's own folder is taken.
      if (!name.isEmpty() && !name.contains('/') && !name.startsWith('.') &&
          QFileInfo(folder.filePath(name)).isFile()) {
        return folder.filePath(name);
      }
      break;
    }
  }
  const QStringList svgs = folder.entryList({"*.svgz", "*.svg"}, QDir::Files | QDir::Readable, QDir::Name);
  return svgs.isEmpty() ? QString() : folder.filePath(svgs.first());
}

QImage RenderElement(QSvgRenderer& svg, const QString& id, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (svg.elementExists(id)) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&painter, id, QRectF(0, 0, width, height));
  }
  return image;
}

// Average colour of the opaque part of a picture, as 0x00BBGGRR.
uint32_t AverageColor(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  uint64_t r = 0, g = 0, b = 0, weight = 0;
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      const uint64_t a = static_cast<uint64_t>(qAlpha(line[x]));
      r += a * static_cast<uint64_t>(qRed(line[x]));
      g += a * static_cast<uint64_t>(qGreen(line[x]));
      b += a * static_cast<uint64_t>(qBlue(line[x]));
      weight += a;
    }
  }
  if (weight == 0) return 0;
  return static_cast<uint32_t>((b / weight) << 16 | (g / weight) << 8 | (r / weight));
}

}  // namespace

QString CardDeckLibrary::DefaultRoot() { return QStringLiteral("/usr/share/carddecks"); }

CardDeckLibrary::CardDeckLibrary(const QString& root) {
  if (root.isEmpty()) return;
  const QDir dir(root);
  const QStringList folders = dir.entryList({"svg-*"}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::Name);
  for (const QString& folder : folders) {
    const QString file = DeckFileIn(QDir(dir.filePath(folder)));
    if (!file.isEmpty()) files_.append(file);
    // A 16-bit count is all the callers can hold.
    if (files_.size() == 32767) break;
  }
}

int16_t CardDeckLibrary::DecksQuantity() const { return static_cast<int16_t>(files_.size()); }

int16_t CardDeckLibrary::BacksQuantity() const { return static_cast<int16_t>(files_.size()); }

QString CardDeckLibrary::DeckFile(int deck) const {
  if (deck < 0 || deck >= files_.size()) return {};
  return files_.at(deck);
}

int CardDeckLibrary::CellLeft(int code) {
  if (code < 1 || code > kDeckSize) return -1;
  return (code - 1) % kRanksPerSuit * kCellWidth + kCardLeftInset;
}

int CardDeckLibrary::CellTop(int code) {
  if (code < 1 || code > kDeckSize) return -1;
  return (code - 1) / kRanksPerSuit * kCellHeight;
}

const CardDeckLibrary::Rendered& CardDeckLibrary::Render(int deck) {
  if (auto it = rendered_.find(deck); it != rendered_.end()) return it->second;

  Rendered out;
  // An unreadable deck is remembered as such, so it is not parsed again.
  QSvgRenderer svg(files_.at(deck));
  if (svg.isValid()) {
    out.faces = QImage(kSheetWidth, kSheetHeight, QImage::Format_ARGB32_Premultiplied);
    out.faces.fill(Qt::transparent);
    {
      QPainter painter(&out.faces);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      for (int code = 1; code <= kDeckSize; ++code) {
        const QString id = ElementId(code);
        if (!svg.elementExists(id)) continue;
        svg.render(&painter, id, QRectF(CellLeft(code), CellTop(code), kCellWidth, kCellHeight));
      }
    }
    out.back = RenderElement(svg, QStringLiteral("back"), kBackWidth, kBackHeight);
    out.smallBack = RenderElement(svg, QStringLiteral("back"), kSmallBackWidth, kSmallBackHeight);
    out.previewColor = AverageColor(out.back);
  }
  return rendered_.emplace(deck, std::move(out)).first->second;
}

QImage CardDeckLibrary::DeckFaces(int deck) {
  if (deck < 0 || deck >= files_.size()) return {};
  return Render(deck).faces;
}

QImage CardDeckLibrary::BackPicture(int back, bool small) {
  if (back < 0 || back >= files_.size()) return {};
  const Rendered& r = Render(back);
  return small ? r.smallBack : r.back;
}

uint32_t CardDeckLibrary::BackPreview(int back) {
  if (back < 0 || back >= files_.size()) return 0;
  return Render(back).previewColor;
}

}  // namespace table
