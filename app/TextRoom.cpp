#include "TextRoom.h"

#include "DownloadTexts.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

constexpr int kLineEditMargins = 2 * 2; // QLineEdit's own space left and right of its text
constexpr int kProbeWidth = 1000;       // any width larger than a combo box's chrome

// The CRC whose four hexadecimal digits are all the widest one.
int16_t WidestCrc(const QFontMetrics& metrics)
{
    int widest = 0;
    int widestWidth = -1;
    for (int digit = 0; digit < 16; ++digit) {
        const int width = metrics.horizontalAdvance(QString::number(digit, 16).toUpper());
        if (width > widestWidth) {
            widest = digit;
            widestWidth = width;
        }
    }
    return static_cast<int16_t>(widest * 0x1111);
}

} // namespace

int CaptionWidth(const QFontMetrics& metrics, const QString& caption)
{
    return metrics.size(Qt::TextShowMnemonic, caption).width();
}

int TextChrome(const QPushButton& button)
{
    const QStyle* style = button.style();
    return style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
}

int TextChrome(const QComboBox& combo)
{
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    option.rect = QRect(0, 0, kProbeWidth, combo.height());
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    return kProbeWidth - field.width() + kLineEditMargins;
}

std::array<QStringList, 4> PanelTexts(const QFontMetrics& metrics)
{
    const int16_t crc = WidestCrc(metrics);
    return {QStringList{kStatusLoadingFile, kStatusCalculatingCrc, kStatusStartingBootloader,
                        kStatusGeneratingCrc, ProgrammingStatus(crc), kStatusProgrammingHeader,
                        kStatusVerifying, DownloadedStatus(crc), kStatusDownloadError,
                        kStatusDownloadCanceled},
            QStringList{kFileStateNotLoaded, FileStateLoaded(crc)},
            QStringList{QStringLiteral("100 %")},
            QStringList{QStringLiteral("No Comms"), QStringLiteral("COM12")}};
}
