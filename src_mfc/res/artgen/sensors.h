// Sensor pictures: each device drawn as white plastic on a light card, its name underneath.
#pragma once

#include <QImage>
#include <QSize>

namespace orvan::art {

enum class Sensor { RemoteControl, SmokeDetector, MotionSensor, Siren, WaterLeak, DoorContact };

QImage PaintSensor(QSize size, Sensor sensor);

}  // namespace orvan::art
