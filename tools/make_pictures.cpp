// make_pictures DIR: draws the eight pictures of the main panel, each field
// port (Tx1, Tx2) as master or slave, with English or Traditional Chinese
// text: Tx1_M.png, Tx1_S.png, Tx2_M.png, Tx2_S.png and the same with _C.
// Run it offscreen (QT_QPA_PLATFORM=offscreen); its output is committed
// in pictures/.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

constexpr int kWidth = 320, kHeight = 180;

struct Words {
    const char *role;     // "MASTER"
    const char *what;     // what the port does in that role
    const char *device;   // the other side's box
};

void box(QPainter &p, QRectF r, QColor fill, const QString &text, const QFont &font)
{
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(fill);
    p.drawRoundedRect(r, 8, 8);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, text);
}

void arrow(QPainter &p, QPointF from, QPointF to, QColor color)
{
    p.setPen(QPen(color, 3));
    p.drawLine(from, to);
    QLineF line(to, from);
    line.setLength(12);
    QLineF left = line, right = line;
    left.setAngle(line.angle() + 25);
    right.setAngle(line.angle() - 25);
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(left.p2());
    head.lineTo(right.p2());
    head.closeSubpath();
    p.fillPath(head, color);
}

QImage draw(const char *port, bool master, const Words &w, const QString &family)
{
    QImage img(kWidth, kHeight, QImage::Format_ARGB32);
    img.fill(QColor(250, 250, 247));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor accent = master ? QColor(30, 90, 200) : QColor(20, 140, 70);
    QFont title(family, 17, QFont::Bold), body(family, 11), small(family, 10);

    p.fillRect(QRectF(0, 0, kWidth, 34), accent);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(10, 0, kWidth - 20, 34), Qt::AlignVCenter | Qt::AlignLeft,
               QString("%1  %2").arg(port, QString::fromUtf8(w.role)));

    QRectF converter(14, 56, 96, 70);
    box(p, converter, QColor(225, 232, 245), QString("ORN\n%1").arg(port), body);
    if (master) {
        for (int i = 0; i < 3; ++i) {
            QRectF slave(214, 44 + i * 34, 92, 26);
            box(p, slave, QColor(235, 245, 235), QString::fromUtf8(w.device).arg(i + 1), small);
            arrow(p, QPointF(converter.right(), converter.center().y()), QPointF(slave.left(), slave.center().y()), accent);
        }
    } else {
        QRectF other(210, 66, 96, 40);
        box(p, other, QColor(245, 235, 225), QString::fromUtf8(w.device), small);
        arrow(p, QPointF(other.left(), other.center().y()), QPointF(converter.right(), converter.center().y()), accent);
    }
    p.setFont(body);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(10, 140, kWidth - 20, 34), Qt::AlignCenter, QString::fromUtf8(w.what));
    return img;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_pictures DIR\n");
        return 2;
    }
    const Words english_master{"MASTER", "sends its command table", "slave %1"};
    const Words english_slave{"SLAVE", "answers the field master", "field master"};
    const Words chinese_master{"主站", "依通訊指令表發送命令", "從站 %1"};
    const Words chinese_slave{"從站", "回應外部主站的請求", "外部主站"};
    const QString latin = "DejaVu Sans", cjk = "WenQuanYi Micro Hei";
    int failures = 0;
    for (const char *port : {"Tx1", "Tx2"}) {
        const struct { const char *suffix; bool master; const Words &words; const QString &font; } kinds[] = {
            {"_M", true, english_master, latin}, {"_S", false, english_slave, latin},
            {"_M_C", true, chinese_master, cjk}, {"_S_C", false, chinese_slave, cjk},
        };
        for (const auto &k : kinds) {
            QString file = QString("%1/%2%3.png").arg(argv[1], port, k.suffix);
            if (!draw(port, k.master, k.words, k.font).save(file)) {
                std::fprintf(stderr, "make_pictures: cannot write %s\n", file.toUtf8().constData());
                ++failures;
            }
        }
    }
    return failures ? 1 : 0;
}
