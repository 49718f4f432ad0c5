// What a value change costs on screen: the numeric label (composed off screen and painted at
// once) beside a stock QLabel that changes its text and repaints, and one locked step of the
// colour mixer with every synchronous redraw of its cascade.
#include "app/AboutBox.h"
#include "app/mainfrm.h"
#include "numlab/NumLab.h"
#include "platform/Application.h"
#include "platform/ScrollBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

QFont labelFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

void NumLabValueChange(benchmark::State &state)
{
    TNumLab label;
    label.resize(160, 24);
    label.setFont(labelFont());
    label.setLeftText(QStringLiteral("Red"));
    label.setRightText(QStringLiteral("%"));
    label.setLeftSpace(50);
    label.setLabelWidth(60);
    label.setPrecision(0);
    label.show();
    QApplication::processEvents();
    int position = 0;
    for (auto _ : state) {
        position = (position + 1) % 256;
        label.setValue(double(position) / 255 * 100);
    }
}
BENCHMARK(NumLabValueChange);

void QLabelTextChange(benchmark::State &state)
{
    QLabel label;
    label.resize(160, 24);
    label.setFont(labelFont());
    label.setAlignment(Qt::AlignCenter);
    label.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label.show();
    QApplication::processEvents();
    int position = 0;
    for (auto _ : state) {
        position = (position + 1) % 256;
        label.setText(QString::number(qRound(double(position) / 255 * 100)));
        label.repaint();
    }
}
BENCHMARK(QLabelTextChange);

void LockedScrollStep(benchmark::State &state)
{
    TForm1 form;
    TFrmAbout about;
    form.FrmAbout = &about;
    // The About box comes up first, modally; close it as soon as its loop runs.
    QTimer::singleShot(0, &about, &QDialog::close);
    form.show();
    QApplication::processEvents();
    form.CBoxGray->setChecked(true);
    int position = 0;
    for (auto _ : state) {
        position = (position + 1) % 256;
        form.SBarRed->setValue(position);
    }
    state.counters["steps/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(LockedScrollStep);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
