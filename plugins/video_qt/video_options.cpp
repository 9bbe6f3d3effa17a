#include "video_qt/video_options.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include "plugin_settings.h"

namespace {

constexpr const char* kGroup = "Plugins/video_qt";
constexpr const char* kFilterKey = "Filter";  // "sharp" or "smooth"
constexpr const char* kAspectKey = "Aspect";  // "square" or "tv"

// A titled box of two exclusive choices; returns the button group (ids 0 and 1).
QButtonGroup* add_choice(QWidget* dialog, QVBoxLayout* layout, const QString& title,
                         const QString& first, const char* first_name, const QString& second,
                         const char* second_name, int checked) {
  auto* box = new QGroupBox(title, dialog);
  auto* box_layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  int id = 0;
  for (auto [text, name] : {std::pair{first, first_name}, std::pair{second, second_name}}) {
    auto* button = new QRadioButton(text, box);
    button->setObjectName(QString::fromLatin1(name));
    button->setChecked(id == checked);
    group->addButton(button, id++);
    box_layout->addWidget(button);
  }
  layout->addWidget(box);
  return group;
}

}  // namespace

VideoOptions load_video_options() {
  QSettings settings = plugin_open_settings();
  settings.beginGroup(QString::fromLatin1(kGroup));
  VideoOptions o;
  if (settings.value(kFilterKey).toString() == QLatin1String("smooth")) {
    o.filter = ScaleFilter::Smooth;
  }
  if (settings.value(kAspectKey).toString() == QLatin1String("tv")) o.aspect = PixelAspect::Tv;
  return o;
}

void save_video_options(const VideoOptions& options) {
  QSettings settings = plugin_open_settings();
  settings.beginGroup(QString::fromLatin1(kGroup));
  settings.setValue(kFilterKey, options.filter == ScaleFilter::Smooth ? "smooth" : "sharp");
  settings.setValue(kAspectKey, options.aspect == PixelAspect::Tv ? "tv" : "square");
}

bool run_video_options_dialog(QWidget* parent, VideoOptions* options) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QObject::tr("Video Settings"));
  auto* layout = new QVBoxLayout(&dialog);
  QButtonGroup* filter = add_choice(&dialog, layout, QObject::tr("Scaling filter"),
                                    QObject::tr("&Sharp (nearest pixel)"), "filter_sharp",
                                    QObject::tr("Sm&ooth (blended)"), "filter_smooth",
                                    options->filter == ScaleFilter::Smooth ? 1 : 0);
  QButtonGroup* aspect = add_choice(&dialog, layout, QObject::tr("Aspect ratio"),
                                    QObject::tr("S&quare pixels (256 × 240)"), "aspect_square",
                                    QObject::tr("&TV (8:7 pixels)"), "aspect_tv",
                                    options->aspect == PixelAspect::Tv ? 1 : 0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  if (dialog.exec() != QDialog::Accepted) return false;
  options->filter = filter->checkedId() == 1 ? ScaleFilter::Smooth : ScaleFilter::Sharp;
  options->aspect = aspect->checkedId() == 1 ? PixelAspect::Tv : PixelAspect::Square;
  return true;
}
