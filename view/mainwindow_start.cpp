// Positions that come from outside the panels (the command line, a followed journal): they are typed
// into their panel and go through its designed "Update", as if the user had typed them.
#include <QComboBox>
#include <QLineEdit>

#include "core/positiontext.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/text.h"

void TForm1::ShowPosition(const orv::TextPosition& position, orv::CrossView view) {
  if (position.kind == orv::TextPosition::Kind::Where) {
    ui->Edit1->setText(QString::number(position.where.x));
    ui->Edit2->setText(QString::number(position.where.y));
    Button1Click(view);
    return;
  }
  const orv::TSextantreading& reading = position.sextant;
  ui->Edit4->setText(QString::number(reading.LatDegrees));
  ui->Edit6->setText(QString::number(reading.LatMinutes));
  ui->ComboBox1->setEditText(orv::FromBytes(reading.LatLetter));
  ui->Edit5->setText(QString::number(reading.LonDegrees));
  ui->Edit7->setText(QString::number(reading.LonMinutes));
  ui->ComboBox2->setEditText(orv::FromBytes(reading.LonLetter));
  Button3Click(view);
}
