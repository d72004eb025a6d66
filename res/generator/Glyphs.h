#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// Small line icons drawn into a square box, in one colour, antialiased.
class Glyphs {
public:
    enum class Kind {
        None, Plus, Minus, Trash, Gear, Folder, Document, OpenFolder, Globe, Info, Help,
        Check, ArrowRight, StopSquare, Cross, Minimise, Lock
    };
    static void Draw(QPainter& p, Kind kind, const QRectF& box, const QColor& colour);

private:
    static void Plus(QPainter& p, const QRectF& b);
    static void Minus(QPainter& p, const QRectF& b);
    static void Trash(QPainter& p, const QRectF& b);
    static void Gear(QPainter& p, const QRectF& b, const QColor& c);
    static void Folder(QPainter& p, const QRectF& b);
    static void Document(QPainter& p, const QRectF& b);
    static void OpenFolder(QPainter& p, const QRectF& b);
    static void Globe(QPainter& p, const QRectF& b);
    static void Info(QPainter& p, const QRectF& b, const QColor& c);
    static void Help(QPainter& p, const QRectF& b, const QColor& c);
    static void Check(QPainter& p, const QRectF& b);
    static void ArrowRight(QPainter& p, const QRectF& b, const QColor& c);
    static void StopSquare(QPainter& p, const QRectF& b, const QColor& c);
    static void Cross(QPainter& p, const QRectF& b);
    static void Minimise(QPainter& p, const QRectF& b);
    static void Lock(QPainter& p, const QRectF& b, const QColor& c);
};
