// SPDX-License-Identifier: BSD-3-Clause
// Draws the sample diffraction pattern: aluminium (face-centred cubic, a = 0.40495 nm) along [0 1 1].
//   saed_makesample OUTPUT.png
#include <cmath>    // for sqrt, exp, cos, sin
#include <cstdio>
#include <random>
#include <vector>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

constexpr double kLatticeNm = 0.40495;    // aluminium, room temperature
constexpr double kPixelsPerInvNm = 30.0;  // camera length of the sample: 30 px per 1/nm
constexpr double kRotationDeg = 20.0;     // pattern turned on the detector
constexpr int kWidth = 800;
constexpr int kHeight = 640;
constexpr double kCentreX = 397.3;        // the direct beam, a little off the middle
constexpr double kCentreY = 318.6;
constexpr double kBarInvNm = 5.0;         // the scale bar stands for 5 1/nm

struct Spot {
    double x;
    double y;
    double peak;
    double sigma;
};

// Reflections of the [0 1 1] zone: (h k l) with 0·h + k + l = 0, so l = -k; face-centred cubic
// keeps h, k, l all odd or all even. In the zone plane, x runs along [1 0 0]* and y along
// [0 1 -1]*: g = (h / a, sqrt(2) k / a).
std::vector<Spot> zoneSpots() {
    std::vector<Spot> spots;
    const double pi = 4.0 * std::atan(1.0);
    const double turn = kRotationDeg * pi / 180.0;
    for (int h = -10; h <= 10; ++h) {
        for (int k = -10; k <= 10; ++k) {
            if ((h + k) % 2 != 0) continue;  // h and k (and l = -k) of one parity
            const double gx = h / kLatticeNm;
            const double gy = std::sqrt(2.0) * k / kLatticeNm;
            const double g2 = gx * gx + gy * gy;
            // Screen y grows downwards.
            const double x = kCentreX + kPixelsPerInvNm * (gx * std::cos(turn) - gy * std::sin(turn));
            const double y = kCentreY - kPixelsPerInvNm * (gx * std::sin(turn) + gy * std::cos(turn));
            if (x < -20 || y < -20 || x > kWidth + 20 || y > kHeight + 20) continue;
            if (h == 0 && k == 0) {
                spots.push_back({x, y, 900.0, 5.5});  // the direct beam, saturated
            } else {
                // Scattering falls off with |g| (atomic form factor and Debye-Waller together).
                spots.push_back({x, y, 235.0 * std::exp(-g2 / 90.0), 3.0});
            }
        }
    }
    return spots;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: saed_makesample OUTPUT.png\n");
        return 2;
    }
    const std::vector<Spot> spots = zoneSpots();
    std::mt19937 random(20240611u);
    std::normal_distribution<double> noise(0.0, 3.5);

    QImage image(kWidth, kHeight, QImage::Format_Grayscale8);
    for (int py = 0; py < kHeight; ++py) {
        uchar* line = image.scanLine(py);
        for (int px = 0; px < kWidth; ++px) {
            const double dx = px - kCentreX;
            const double dy = py - kCentreY;
            const double r = std::sqrt(dx * dx + dy * dy);
            // Dark current, then the inelastic halo around the direct beam.
            double value = 14.0 + 70.0 * std::exp(-r / 45.0) + 28.0 * std::exp(-r / 220.0);
            for (const Spot& s : spots) {
                const double sx = px - s.x;
                const double sy = py - s.y;
                const double d2 = sx * sx + sy * sy;
                if (d2 > 400.0 * s.sigma) continue;
                value += s.peak * std::exp(-d2 / (2.0 * s.sigma * s.sigma));
                value += 0.08 * s.peak * std::exp(-std::sqrt(d2) / (2.5 * s.sigma));  // a soft skirt
            }
            // Counting noise grows with the signal.
            value += noise(random) * std::sqrt(1.0 + value / 25.0);
            line[px] = static_cast<uchar>(std::clamp(value, 0.0, 255.0));
        }
    }

    // The scale bar: 5 1/nm long, white, with its reading above it.
    QPainter painter(&image);
    const double barLength = kBarInvNm * kPixelsPerInvNm;
    const QRectF bar(40.0, 596.0, barLength, 5.0);
    painter.fillRect(bar, Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(bar.left(), bar.top() - 28.0, bar.width(), 24.0), Qt::AlignCenter,
                     QStringLiteral("5 1/nm"));
    painter.end();

    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
