#pragma once
// Windows metafiles written record by record, so that a test knows what the picture must
// show.
#include <QByteArray>
#include <algorithm>
#include <initializer_list>

namespace vexil::test {

// A placeable metafile: the Aldus header, the standard header, then records.
class MetafileWriter {
public:
    // The picture's frame in metafile units and the units in an inch.
    MetafileWriter(int width, int height, int unitsPerInch)
        : width_(width), height_(height), inch_(unitsPerInch) {
        record(0x020B, {0, 0});                             // SETWINDOWORG y, x
        record(0x020C, {quint16(height), quint16(width)});  // SETWINDOWEXT y, x
    }
    // A solid brush of `rgb` (0xRRGGBB) and a null pen, selected; then a rectangle.
    void filledRectangle(quint32 rgb, int left, int top, int right, int bottom) {
        const quint16 index = objects_++;
        const quint16 rg = quint16(((rgb >> 16) & 0xff) | (rgb & 0xff00));
        const quint16 b0 = quint16(rgb & 0xff);
        record(0x02FC, {0, rg, b0, 0});  // CREATEBRUSHINDIRECT solid
        record(0x012D, {index});         // SELECTOBJECT
        const quint16 pen = objects_++;
        record(0x02FA, {5, 0, 0, 0, 0});  // CREATEPENINDIRECT PS_NULL
        record(0x012D, {pen});
        record(0x041B, {quint16(bottom), quint16(right), quint16(top), quint16(left)});
    }
    QByteArray bytes() const {
        QByteArray body = records_;
        appendRecord(body, 0x0000, {});  // EOF
        QByteArray out;
        const quint16 placeable[10] = {0xCDD7,           0x9AC6,         0, 0, 0, quint16(width_),
                                       quint16(height_), quint16(inch_), 0, 0};
        quint16 sum = 0;
        for (quint16 w : placeable) {
            sum ^= w;
            word(out, w);
        }
        word(out, sum);
        const quint32 words = 9 + quint32(body.size() / 2);
        for (quint16 w : {quint16(1), quint16(9), quint16(0x0300), quint16(words & 0xffff),
                          quint16(words >> 16), objects_, quint16(maxRecord_ & 0xffff),
                          quint16(maxRecord_ >> 16), quint16(0)})
            word(out, w);
        return out + body;
    }

private:
    static void word(QByteArray& to, quint16 w) {
        to.append(char(w & 0xff));
        to.append(char(w >> 8));
    }
    void appendRecord(QByteArray& to, quint16 function,
                      std::initializer_list<quint16> params) const {
        const quint32 size = 3 + quint32(params.size());
        word(to, quint16(size & 0xffff));
        word(to, quint16(size >> 16));
        word(to, function);
        for (quint16 p : params) word(to, p);
    }
    void record(quint16 function, std::initializer_list<quint16> params) {
        appendRecord(records_, function, params);
        maxRecord_ = std::max<quint32>(maxRecord_, 3 + quint32(params.size()));
    }
    int width_, height_, inch_;
    quint16 objects_ = 0;
    quint32 maxRecord_ = 3;
    QByteArray records_;
};

}  // namespace vexil::test
