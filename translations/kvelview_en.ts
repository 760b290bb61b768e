<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>KvelView</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Не выбран шкаф из списка шкафов</source>
        <translation>No cabinet selected from the cabinet list</translation>
    </message>
    <message>
        <source>Ошибка создания нового файла</source>
        <translation>Cannot create the new file</translation>
    </message>
    <message>
        <source>Ошибка открытия файла</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>МОДУЛЬ НА СВЯЗИ</source>
        <translation>MODULE ONLINE</translation>
    </message>
    <message>
        <source>Некорректное значение часов в размере окна</source>
        <translation>Invalid hours in the window size</translation>
    </message>
    <message>
        <source>Некорректное значение часов в размере окна (от 0 до 23)</source>
        <translation>Invalid hours in the window size (0 to 23)</translation>
    </message>
    <message>
        <source>Некорректное значение минут в размере окна</source>
        <translation>Invalid minutes in the window size</translation>
    </message>
    <message>
        <source>Некорректное значение минут часов в размере окна</source>
        <translation>Invalid minutes in the window size</translation>
    </message>
    <message>
        <source>Некорректное значение минут в размере окна (от 0 до 59)</source>
        <translation>Invalid minutes in the window size (0 to 59)</translation>
    </message>
    <message>
        <source>Некорректное значение размера окна (не менее 1 минуты)</source>
        <translation>Invalid window size (at least 1 minute)</translation>
    </message>
    <message>
        <source>Некорректное значение сдвига</source>
        <translation>Invalid shift</translation>
    </message>
    <message>
        <source>Некорректное значение периода измерения</source>
        <translation>Invalid measurement period</translation>
    </message>
    <message>
        <source>Некорректное периода измерения</source>
        <translation>Invalid measurement period</translation>
    </message>
    <message>
        <source>Некорректное значение минимума левой оси</source>
        <translation>Invalid left axis minimum</translation>
    </message>
    <message>
        <source>Некорректное значение максимума левой оси</source>
        <translation>Invalid left axis maximum</translation>
    </message>
    <message>
        <source>Значение максимума должно быть больше значения минимума в масштабе левой оси</source>
        <translation>The left axis maximum must be greater than its minimum</translation>
    </message>
    <message>
        <source>Некорректное значение минимума правой оси</source>
        <translation>Invalid right axis minimum</translation>
    </message>
    <message>
        <source>Некорректное значение максимума правой оси</source>
        <translation>Invalid right axis maximum</translation>
    </message>
    <message>
        <source>Значение максимума должно быть больше значения минимума в масштабе правой оси</source>
        <translation>The right axis maximum must be greater than its minimum</translation>
    </message>
    <message>
        <source>Некорректное значение адреса модуля (от 1 до 247)</source>
        <translation>Invalid module address (1 to 247)</translation>
    </message>
    <message>
        <source>Имя для публикации не может содержать символы / + #</source>
        <translation>The publishing name cannot contain / + #</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>чет(even)</source>
        <translation>even</translation>
    </message>
    <message>
        <source> нечет(odd)</source>
        <translation>odd</translation>
    </message>
    <message>
        <source>Включить выключатель</source>
        <translation>Close breaker</translation>
    </message>
    <message>
        <source>Отключить выключатель</source>
        <translation>Open breaker</translation>
    </message>
    <message>
        <source>Вкатить ВЭ</source>
        <translation>Rack in withdrawable unit</translation>
    </message>
    <message>
        <source>Выкатить ВЭ</source>
        <translation>Rack out withdrawable unit</translation>
    </message>
    <message>
        <source>Включить ЗР</source>
        <translation>Close earthing switch</translation>
    </message>
    <message>
        <source>Отключить ЗР</source>
        <translation>Open earthing switch</translation>
    </message>
    <message>
        <source>Негативная</source>
        <translation>Negative</translation>
    </message>
    <message>
        <source>Позитивная</source>
        <translation>Positive</translation>
    </message>
    <message>
        <source>Описание функций реле смотри в описании регистровой модели модуля Квел</source>
        <translation>For the relay functions see the Kvel module&apos;s register map description</translation>
    </message>
    <message>
        <source>Сигнализация о наличии связи с датчиками будет учитывать только отмеченные датчики</source>
        <translation>The sensor link alarm covers only the checked sensors</translation>
    </message>
    <message>
        <source>Адрес модуля</source>
        <translation>Module address</translation>
    </message>
    <message>
        <source>Скорость, кбит/с</source>
        <translation>Baud rate, kbit/s</translation>
    </message>
    <message>
        <source>Паритет</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Функция</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>Экспорт диаграммы</source>
        <translation>Export chart</translation>
    </message>
    <message>
        <source>Размер окна: %1 × %2</source>
        <translation>Window size: %1 × %2</translation>
    </message>
    <message>
        <source>Заданный размер:</source>
        <translation>Custom size:</translation>
    </message>
    <message>
        <source>Открыть журнал</source>
        <translation>Open log</translation>
    </message>
    <message>
        <source>Журналы (*.txt *.log);;Все файлы (*)</source>
        <translation>Logs (*.txt *.log);;All files (*)</translation>
    </message>
    <message>
        <source>Открыть папку журналов</source>
        <translation>Open log folder</translation>
    </message>
    <message>
        <source>Экспорт в CSV</source>
        <translation>Export to CSV</translation>
    </message>
    <message>
        <source>CSV (*.csv);;Все файлы (*)</source>
        <translation>CSV (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Ошибка записи файла %1</source>
        <translation>Error writing file %1</translation>
    </message>
    <message>
        <source>Порог 1</source>
        <translation>Threshold 1</translation>
    </message>
    <message>
        <source>Порог 2</source>
        <translation>Threshold 2</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Канал %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>файл журнала изменился после чтения, откройте его заново (F5)</source>
        <translation>the log file changed after it was read; open it again (F5)</translation>
    </message>
    <message>
        <source>Ошибка открытия порта</source>
        <translation>Port open failure</translation>
    </message>
    <message>
        <source>Нет связи с портом</source>
        <translation>No connection to the port</translation>
    </message>
    <message>
        <source>Ошибка передачи команды чтения в модуль</source>
        <translation>Error sending the read command to the module</translation>
    </message>
    <message>
        <source>Ошибка получения результата из модуля</source>
        <translation>Error receiving the result from the module</translation>
    </message>
    <message>
        <source>Ошибочный адрес модуля в ответе от модуля</source>
        <translation>Wrong module address in the module&apos;s reply</translation>
    </message>
    <message>
        <source>Ошибка передачи команды записи в модуль</source>
        <translation>Error sending the write command to the module</translation>
    </message>
    <message>
        <source>Ошибка подтверждения записи из модуля</source>
        <translation>Error in the module&apos;s write confirmation</translation>
    </message>
    <message>
        <source>Ошибочный адрес модуля в ответе от модуля при записи</source>
        <translation>Wrong module address in the module&apos;s reply to a write</translation>
    </message>
    <message>
        <source>Ошибочный CRC в ответе от модуля</source>
        <translation>Wrong CRC in the module&apos;s reply</translation>
    </message>
    <message>
        <source>Ошибка в данных в ответе от модуля</source>
        <translation>Wrong data in the module&apos;s reply</translation>
    </message>
    <message>
        <source>Ошибка модуля: код %1</source>
        <translation>Module error: code %1</translation>
    </message>
    <message>
        <source>Недопустимое число регистров для чтения: %1</source>
        <translation>Register count not allowed for a read: %1</translation>
    </message>
    <message>
        <source>Недопустимое число регистров для записи: %1</source>
        <translation>Register count not allowed for a write: %1</translation>
    </message>
    <message>
        <source>Обмен прерван: программа завершает работу</source>
        <translation>Exchange interrupted: the program is closing</translation>
    </message>
    <message>
        <source>Тип модуля изменился после открытия окна (был %1, теперь %2): настройки реле не записаны. Откройте окно настроек модуля заново</source>
        <translation>The module type changed after the window was opened (was %1, now %2): the relay settings were not written. Open the module settings window again</translation>
    </message>
    <message>
        <source>Опрос остановлен: недопустимый период измерения %1</source>
        <translation>Polling stopped: measurement period %1 not allowed</translation>
    </message>
    <message>
        <source>В mem.ini [measure] period=%1: допустимо от 1 до %2 с. Модуль не опрашивается, пока период измерения не задан в настройках программы.</source>
        <translation>mem.ini [measure] period=%1: allowed from 1 to %2 s. The module is not polled until the measurement period is set in the program settings.</translation>
    </message>
    <message>
        <source>Метрологическая версия ПО  %1</source>
        <translation>Metrological software version  %1</translation>
    </message>
    <message>
        <source>ЦИКЛ: ОЖИДАНИЕ СЛЕДУЮЩЕГО ЦИКЛА, ОСТАЛОСЬ %1 с</source>
        <translation>CYCLE: WAITING FOR THE NEXT CYCLE, %1 s LEFT</translation>
    </message>
    <message>
        <source>Некорректное значение коэффицента канала %1</source>
        <translation>Invalid coefficient of channel %1</translation>
    </message>
    <message>
        <source>Некорректное значение гистерезиса</source>
        <translation>Invalid hysteresis</translation>
    </message>
    <message>
        <source>Значение гистерезиса должно лежать в диапазоне от 0 до 100 гр. С</source>
        <translation>The hysteresis must lie between 0 and 100 °C</translation>
    </message>
    <message>
        <source>Некорректное значение порога Датчик-Реле %1</source>
        <translation>Invalid sensor-relay threshold %1</translation>
    </message>
    <message>
        <source>Некорректное значение задержки на включение</source>
        <translation>Invalid switch-on delay</translation>
    </message>
    <message>
        <source>Некорректное значение задержки на отключение</source>
        <translation>Invalid switch-off delay</translation>
    </message>
    <message>
        <source>Некорректное значение порога %1 канала %2</source>
        <translation>Invalid threshold %1 of channel %2</translation>
    </message>
    <message>
        <source>Некорректное значение порога 1</source>
        <translation>Invalid threshold 1</translation>
    </message>
    <message>
        <source>Некорректное значение порога 2</source>
        <translation>Invalid threshold 2</translation>
    </message>
    <message>
        <source>Некорректное значение адреса модуля</source>
        <translation>Invalid module address</translation>
    </message>
    <message>
        <source>Некорректное значение скорости</source>
        <translation>Invalid baud rate</translation>
    </message>
    <message>
        <source>Некорректное значение паритета</source>
        <translation>Invalid parity</translation>
    </message>
    <message>
        <source>Некорректное значение параметра: Значение порога реле %1</source>
        <translation>Invalid parameter: threshold of relay %1</translation>
    </message>
    <message>
        <source>Некорректное значение параметра: Значение гистерезиса реле %1</source>
        <translation>Invalid parameter: hysteresis of relay %1</translation>
    </message>
    <message>
        <source>Некорректное значение параметра: Значение задержки на включение реле %1</source>
        <translation>Invalid parameter: switch-on delay of relay %1</translation>
    </message>
    <message>
        <source>Некорректное значение параметра: Значение задержки на отключение реле %1</source>
        <translation>Invalid parameter: switch-off delay of relay %1</translation>
    </message>
    <message>
        <source>Некорректное значение параметра: Логика реле %1</source>
        <translation>Invalid parameter: logic of relay %1</translation>
    </message>
    <message>
        <source>Некорректное значение адреса MB1</source>
        <translation>Invalid MB1 address</translation>
    </message>
    <message>
        <source>Некорректное значение адреса MB2</source>
        <translation>Invalid MB2 address</translation>
    </message>
    <message>
        <source>Некорректное значение скорости MB1</source>
        <translation>Invalid MB1 baud rate</translation>
    </message>
    <message>
        <source>Некорректное значение паритета MB1</source>
        <translation>Invalid MB1 parity</translation>
    </message>
    <message>
        <source>Некорректное значение скорости MB2</source>
        <translation>Invalid MB2 baud rate</translation>
    </message>
    <message>
        <source>Некорректное значение паритета MB2</source>
        <translation>Invalid MB2 parity</translation>
    </message>
    <message>
        <source>Ошибка записи журнала сигнализации %1: %2</source>
        <translation>Error writing the alarm log %1: %2</translation>
    </message>
    <message>
        <source>Тревога: нет связи с модулем</source>
        <translation>Alarm: no link with the module</translation>
    </message>
    <message>
        <source>Модуль не отвечает</source>
        <translation>The module does not answer</translation>
    </message>
    <message>
        <source>%1 гр.С</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <source>, предел %1 гр.С</source>
        <translation>, limit %1 °C</translation>
    </message>
    <message>
        <source>Тревога: канал %1, %2</source>
        <translation>Alarm: channel %1, %2</translation>
    </message>
    <message>
        <source>выше предела</source>
        <translation>above the limit</translation>
    </message>
    <message>
        <source>ниже предела</source>
        <translation>below the limit</translation>
    </message>
    <message>
        <source>нет показаний</source>
        <translation>no reading</translation>
    </message>
    <message>
        <source>нет связи</source>
        <translation>no link</translation>
    </message>
    <message>
        <source>снята, не квитирована</source>
        <translation>cleared, not acknowledged</translation>
    </message>
    <message>
        <source>квитирована</source>
        <translation>acknowledged</translation>
    </message>
    <message>
        <source>не квитирована</source>
        <translation>not acknowledged</translation>
    </message>
    <message>
        <source>Неверный верхний предел канала %1: &quot;%2&quot; (число с точкой, пусто - без предела)</source>
        <translation>Invalid upper limit of channel %1: &quot;%2&quot; (a number with a decimal point, empty for no limit)</translation>
    </message>
    <message>
        <source>Неверный нижний предел канала %1: &quot;%2&quot; (число с точкой, пусто - без предела)</source>
        <translation>Invalid lower limit of channel %1: &quot;%2&quot; (a number with a decimal point, empty for no limit)</translation>
    </message>
    <message>
        <source>Нижний предел канала %1 должен быть меньше верхнего</source>
        <translation>The lower limit of channel %1 must be below the upper one</translation>
    </message>
    <message>
        <source>Гистерезис должен быть числом от 0 до 100 гр.С</source>
        <translation>The hysteresis must be a number from 0 to 100 °C</translation>
    </message>
    <message>
        <source>Задержка должна быть числом секунд от 0 до 86400</source>
        <translation>The delay must be a number of seconds from 0 to 86400</translation>
    </message>
    <message>
        <source>Не задан файл журнала сигнализации</source>
        <translation>No alarm log file given</translation>
    </message>
    <message>
        <source>Некорректное значение периода измерения (от 1 до %1)</source>
        <translation>Invalid measurement period (1 to %1)</translation>
    </message>
    <message>
        <source>Ошибка в привязке к оси канал %1</source>
        <translation>Invalid axis assignment of channel %1</translation>
    </message>
    <message>
        <source>Некорректный адрес брокера MQTT (узел:порт): %1</source>
        <translation>Invalid MQTT broker address (host:port): %1</translation>
    </message>
    <message>
        <source>Некорректный адрес для Prometheus (узел:порт или порт): %1</source>
        <translation>Invalid Prometheus address (host:port or port): %1</translation>
    </message>
    <message>
        <source>размер изображения должен быть от 10 до %1 точек</source>
        <translation>the picture&apos;s size must be from 10 to %1 pixels</translation>
    </message>
    <message>
        <source>%1: не удалось нарисовать изображение</source>
        <translation>%1: the picture could not be drawn</translation>
    </message>
    <message>
        <source>нет подтверждения: %1</source>
        <translation>not confirmed: %1</translation>
    </message>
    <message>
        <source>нет ответа</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>ошибочный CRC</source>
        <translation>wrong CRC</translation>
    </message>
    <message>
        <source>ответ с адресом %1</source>
        <translation>answer with address %1</translation>
    </message>
    <message>
        <source>ошибка модуля: код %1</source>
        <translation>module error: code %1</translation>
    </message>
    <message>
        <source>ответ неверной длины</source>
        <translation>answer of wrong length</translation>
    </message>
    <message>
        <source>Ошибка открытия порта: %1</source>
        <translation>Port open failure: %1</translation>
    </message>
    <message>
        <source>нет подтверждения: отменено</source>
        <translation>not confirmed: cancelled</translation>
    </message>
    <message>
        <source>%1 бит/с, паритет %2</source>
        <translation>%1 bit/s, parity %2</translation>
    </message>
    <message>
        <source>%1 с</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 мин %2 с</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 д %2</source>
        <translation>%1 d %2</translation>
    </message>
    <message>
        <source>Ошибка чтения файла настроек %1: %2</source>
        <translation>Error reading the settings file %1: %2</translation>
    </message>
    <message>
        <source>Ошибка чтения файла настроек %1: %2 (файл не перезаписан, чтобы не потерять его настройки)</source>
        <translation>Error reading the settings file %1: %2 (the file was not overwritten, so as not to lose its settings)</translation>
    </message>
    <message>
        <source>Ошибка записи файла настроек %1: %2 (файл настроек не перезаписан, чтобы не потерять его прежнее содержимое)</source>
        <translation>Error writing the settings file %1: %2 (the settings file was not overwritten, so as not to lose its previous content)</translation>
    </message>
    <message>
        <source>Ошибка записи файла настроек %1: %2</source>
        <translation>Error writing the settings file %1: %2</translation>
    </message>
    <message>
        <source>нет сеанса D-Bus</source>
        <translation>no D-Bus session</translation>
    </message>
    <message>
        <source>Номер шкафа вне допустимого диапазона 1 … %1</source>
        <translation>Cabinet number outside the allowed range 1 … %1</translation>
    </message>
    <message>
        <source>недостаточно памяти, чтобы показать журнал</source>
        <translation>not enough memory to show the log</translation>
    </message>
    <message>
        <source>С</source>
        <translation>From</translation>
    </message>
    <message>
        <source>По</source>
        <translation>To</translation>
    </message>
    <message>
        <source>Порог, °C</source>
        <translation>Threshold, °C</translation>
    </message>
    <message>
        <source>Минимум</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Максимум</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Среднее</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>Выше порога</source>
        <translation>Above threshold</translation>
    </message>
    <message>
        <source>Коэффициенты каналов %1</source>
        <translation>Coefficients of channels %1</translation>
    </message>
    <message>
        <source>Настройки реле (блоки %1–%2 из %2)</source>
        <translation>Relay settings (blocks %1–%2 of %2)</translation>
    </message>
    <message>
        <source>%1 не записаны в модуль: программа завершила работу во время записи</source>
        <translation>%1 not written to the module: the program ended during the write</translation>
    </message>
    <message>
        <source>Настройки реле %1</source>
        <translation>Settings of relays %1</translation>
    </message>
    <message>
        <source>Параметры связи</source>
        <translation>Communication parameters</translation>
    </message>
    <message>
        <source>ЛЕВАЯ</source>
        <translation>LEFT</translation>
    </message>
    <message>
        <source>ПРАВАЯ</source>
        <translation>RIGHT</translation>
    </message>
    <message>
        <source>ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ</source>
        <translation>CYCLE: MOVING THE WITHDRAWABLE UNIT TO SERVICE</translation>
    </message>
    <message>
        <source>ЦИКЛ: ВКЛЮЧЕНИЕ ВВ</source>
        <translation>CYCLE: CLOSING THE CIRCUIT BREAKER</translation>
    </message>
    <message>
        <source>ЦИКЛ: ОТКЛЮЧЕНИЕ ВВ</source>
        <translation>CYCLE: OPENING THE CIRCUIT BREAKER</translation>
    </message>
    <message>
        <source>ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В КОНТРОЛЬНОЕ</source>
        <translation>CYCLE: MOVING THE WITHDRAWABLE UNIT TO TEST</translation>
    </message>
    <message>
        <source>ЦИКЛ: ВКЛЮЧЕНИЕ ЗР</source>
        <translation>CYCLE: CLOSING THE EARTHING SWITCH</translation>
    </message>
    <message>
        <source>ЦИКЛ: ОТКЛЮЧЕНИЕ ЗР</source>
        <translation>CYCLE: OPENING THE EARTHING SWITCH</translation>
    </message>
    <message>
        <source>недопустимая функция</source>
        <translation>illegal function</translation>
    </message>
    <message>
        <source>недопустимый адрес данных</source>
        <translation>illegal data address</translation>
    </message>
    <message>
        <source>недопустимое значение данных</source>
        <translation>illegal data value</translation>
    </message>
    <message>
        <source>отказ ведомого устройства</source>
        <translation>slave device failure</translation>
    </message>
    <message>
        <source>подтверждение: запрос принят и выполняется</source>
        <translation>acknowledge: request accepted and in progress</translation>
    </message>
    <message>
        <source>ведомое устройство занято</source>
        <translation>slave device busy</translation>
    </message>
    <message>
        <source>ошибка чётности памяти</source>
        <translation>memory parity error</translation>
    </message>
    <message>
        <source>путь шлюза недоступен</source>
        <translation>gateway path unavailable</translation>
    </message>
    <message>
        <source>целевое устройство шлюза не отвечает</source>
        <translation>gateway target device failed to respond</translation>
    </message>
    <message>
        <source>порт не задан (ключ port в разделе [connect] файла mem.ini)</source>
        <translation>no port set (key port in section [connect] of mem.ini)</translation>
    </message>
    <message>
        <source>%1: не последовательный порт (%2)</source>
        <translation>%1: not a serial port (%2)</translation>
    </message>
    <message>
        <source>%1: порт занят другой программой (%2)</source>
        <translation>%1: the port is held by another program (%2)</translation>
    </message>
    <message>
        <source>%1: %2. Доступ к порту даёт группа %3; пользователь %4 уже в ней, но этот сеанс начат раньше: выйдите из системы и войдите заново</source>
        <translation>%1: %2. Access to the port is given by the group %3; user %4 is in it already, but this session started earlier: log out and log in again</translation>
    </message>
    <message>
        <source>%1: %2. Доступ к порту даёт группа %3: добавьте в неё пользователя (sudo usermod -aG %3 %4) и войдите в систему заново</source>
        <translation>%1: %2. Access to the port is given by the group %3: add the user to it (sudo usermod -aG %3 %4) and log in again</translation>
    </message>
    <message>
        <source>Запросов</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>Ответов</source>
        <translation>Replies</translation>
    </message>
    <message>
        <source>Без ответа</source>
        <translation>No reply</translation>
    </message>
    <message>
        <source>Поздних ответов</source>
        <translation>Late replies</translation>
    </message>
    <message>
        <source>Ошибок CRC</source>
        <translation>CRC errors</translation>
    </message>
    <message>
        <source>Чужой адрес</source>
        <translation>Wrong address</translation>
    </message>
    <message>
        <source>Исключений</source>
        <translation>Exceptions</translation>
    </message>
    <message>
        <source>Прочих ошибок</source>
        <translation>Other errors</translation>
    </message>
    <message>
        <source>Переоткрытий порта</source>
        <translation>Port reopenings</translation>
    </message>
    <message>
        <source>Время ответа</source>
        <translation>Reply time</translation>
    </message>
    <message>
        <source>ср. %1 мс, макс. %2 мс</source>
        <translation>mean %1 ms, max %2 ms</translation>
    </message>
    <message>
        <source>Успешно</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Регистр</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Число</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Отброшено</source>
        <translation>Discarded</translation>
    </message>
    <message>
        <source>Запрос</source>
        <translation>Request</translation>
    </message>
    <message>
        <source>Ответ</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>Ответ, мс</source>
        <translation>Reply, ms</translation>
    </message>
    <message>
        <source>Всего, мс</source>
        <translation>Total, ms</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Начало обмена</source>
        <translation>Start of the exchange</translation>
    </message>
    <message>
        <source>Функция Modbus: 3 чтение, 6 запись регистра, 16 запись регистров</source>
        <translation>Modbus function: 3 read, 6 write register, 16 write registers</translation>
    </message>
    <message>
        <source>Первый регистр</source>
        <translation>First register</translation>
    </message>
    <message>
        <source>Число регистров</source>
        <translation>Number of registers</translation>
    </message>
    <message>
        <source>Запоздавшие байты, отброшенные перед запросом</source>
        <translation>Late bytes discarded before the request</translation>
    </message>
    <message>
        <source>Запрос, шестнадцатеричные байты</source>
        <translation>Request, hexadecimal bytes</translation>
    </message>
    <message>
        <source>Ответ, шестнадцатеричные байты</source>
        <translation>Reply, hexadecimal bytes</translation>
    </message>
    <message>
        <source>Время ответа модуля: от конца запроса до первого байта ответа</source>
        <translation>The module&apos;s reply time: from the end of the request to the first byte of the reply</translation>
    </message>
    <message>
        <source>Весь обмен: от конца запроса до конца приёма ответа, с паузой программы перед приёмом</source>
        <translation>The whole exchange: from the end of the request to the end of the reply, with the program&apos;s pause before receiving</translation>
    </message>
    <message>
        <source>Итог обмена, как его принимает программа</source>
        <translation>The outcome of the exchange, as the program takes it</translation>
    </message>
    <message>
        <source>%1 байт</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>Обмен с модулем: Ctrl+T или двойной щелчок</source>
        <translation>Line traffic: Ctrl+T or double click</translation>
    </message>
</context>
<context>
    <name>kvel::AlarmWindow</name>
    <message>
        <source>Сигнализация</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>Тревоги</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>Уставки</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Имя</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Предел</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Квитировать</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>Квитировать все</source>
        <translation>Acknowledge all</translation>
    </message>
    <message>
        <source>Нижний предел, гр.С</source>
        <translation>Low limit, °C</translation>
    </message>
    <message>
        <source>Верхний предел, гр.С</source>
        <translation>High limit, °C</translation>
    </message>
    <message>
        <source>Тревога при отсутствии показаний канала</source>
        <translation>Alarm when a channel has no reading</translation>
    </message>
    <message>
        <source>Тревога при потере связи с модулем</source>
        <translation>Alarm when the module link is lost</translation>
    </message>
    <message>
        <source>Уведомления рабочего стола</source>
        <translation>Desktop notifications</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>&amp;Гистерезис, гр.С</source>
        <translation>&amp;Hysteresis, °C</translation>
    </message>
    <message>
        <source>&amp;Задержка, с</source>
        <translation>&amp;Delay, s</translation>
    </message>
    <message>
        <source>&amp;Журнал сигнализации</source>
        <translation>Alarm &amp;log</translation>
    </message>
</context>
<context>
    <name>kvel::CabinetWindow</name>
    <message>
        <source>Управление шкафами через хост-контроллер</source>
        <translation>Cabinet control through the host controller</translation>
    </message>
    <message>
        <source>Управление</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>Сигналы на хост</source>
        <translation>Signals to host</translation>
    </message>
    <message>
        <source>Текущий шкаф</source>
        <translation>Current cabinet</translation>
    </message>
    <message>
        <source>Шкаф на связи</source>
        <translation>Cabinet online</translation>
    </message>
    <message>
        <source>Контроллер</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>Хост</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Мнемо</source>
        <translation>Mimic</translation>
    </message>
    <message>
        <source>Тестовый цикл</source>
        <translation>Test cycle</translation>
    </message>
    <message>
        <source>Включить</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Отключить</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>kvel::ChartPanel</name>
    <message>
        <source>Y(лев)</source>
        <translation>Y(left)</translation>
    </message>
    <message>
        <source>Y(прав)</source>
        <translation>Y(right)</translation>
    </message>
    <message>
        <source>Маркеры</source>
        <translation>Markers</translation>
    </message>
</context>
<context>
    <name>kvel::FirstGenModuleDialog</name>
    <message>
        <source>Настройки датчиков</source>
        <translation>Sensor settings</translation>
    </message>
    <message>
        <source>Настройки связи модуля</source>
        <translation>Module link settings</translation>
    </message>
    <message>
        <source>Настройки реле</source>
        <translation>Relay settings</translation>
    </message>
    <message>
        <source>Задержка включения реле</source>
        <translation>Relay on delay</translation>
    </message>
    <message>
        <source>Задержка отключения реле</source>
        <translation>Relay off delay</translation>
    </message>
    <message>
        <source>Порог 1, Тгр.С</source>
        <translation>Threshold 1, °C</translation>
    </message>
    <message>
        <source>Порог 2, Тгр.С</source>
        <translation>Threshold 2, °C</translation>
    </message>
    <message>
        <source>Гистерезис, Тгр.С</source>
        <translation>Hysteresis, °C</translation>
    </message>
    <message>
        <source>Задержка включения, сек</source>
        <translation>On delay, s</translation>
    </message>
    <message>
        <source>Задержка отключения, сек</source>
        <translation>Off delay, s</translation>
    </message>
    <message>
        <source>Функция реле </source>
        <translation>Relay function </translation>
    </message>
    <message>
        <source>Привязка датчиков к реле связи</source>
        <translation>Sensors on the link relay</translation>
    </message>
    <message>
        <source>Привязка датчиков к реле порога</source>
        <translation>Sensors on the threshold relay</translation>
    </message>
    <message>
        <source>Сигнализация о превышении порога будет учитывать только отмеченные датчики</source>
        <translation>The threshold alarm covers only the checked sensors</translation>
    </message>
    <message>
        <source>Для режима датчик-реле</source>
        <translation>For sensor-relay mode</translation>
    </message>
    <message>
        <source>Порог Датчик-Реле </source>
        <translation>Sensor-relay threshold </translation>
    </message>
    <message>
        <source>, Тгр.С</source>
        <translation>, °C</translation>
    </message>
    <message>
        <source>Температурные пороги,  гр. С</source>
        <translation>Temperature thresholds, °C</translation>
    </message>
</context>
<context>
    <name>kvel::LogStatsDialog</name>
    <message>
        <source>Статистика между маркерами</source>
        <translation>Statistics between markers</translation>
    </message>
    <message>
        <source>&amp;Порог, °C:</source>
        <translation>&amp;Threshold, °C:</translation>
    </message>
    <message>
        <source>&amp;Копировать</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>kvel::LogViewerWindow</name>
    <message>
        <source>%1 и ещё %2</source>
        <translation>%1 and %2 more</translation>
    </message>
    <message>
        <source>Просмотр журнала</source>
        <translation>Log viewer</translation>
    </message>
    <message>
        <source>Открыть журнал</source>
        <translation>Open log</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>Экспорт диаграммы</source>
        <translation>Export chart</translation>
    </message>
    <message>
        <source>Экспорт в CSV</source>
        <translation>Export to CSV</translation>
    </message>
    <message>
        <source>Открыть папку журналов</source>
        <translation>Open log folder</translation>
    </message>
    <message>
        <source>Статистика между маркерами</source>
        <translation>Statistics between markers</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>дд.мм.гг чч:мм</source>
        <translation>dd.mm.yy hh:mm</translation>
    </message>
    <message>
        <source>Дата и время: 16.11.26 18:00, 16.11.2026 18:00:05 или 2026-11-16 18:00</source>
        <translation>Date and time: 16.11.26 18:00, 16.11.2026 18:00:05 or 2026-11-16 18:00</translation>
    </message>
    <message>
        <source> &amp;С </source>
        <translation> &amp;From </translation>
    </message>
    <message>
        <source> &amp;По </source>
        <translation> &amp;To </translation>
    </message>
    <message>
        <source>Показать</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Показать интервал (Enter в поле времени)</source>
        <translation>Show the interval (Enter in a time field)</translation>
    </message>
    <message>
        <source>Чтение журнала: </source>
        <translation>Reading log: </translation>
    </message>
    <message>
        <source>недостаточно памяти, чтобы показать журнал</source>
        <translation>not enough memory to show the log</translation>
    </message>
    <message>
        <source>Не удалось открыть журнал %1</source>
        <translation>Cannot open log %1</translation>
    </message>
    <message>
        <source> (чтение прервано)</source>
        <translation> (reading interrupted)</translation>
    </message>
    <message>
        <source>Просмотр журнала — </source>
        <translation>Log viewer — </translation>
    </message>
    <message>
        <source>Неверное время «%1»: нужно, например, 16.11.26 18:00 или 2026-11-16 18:00</source>
        <translation>Invalid time “%1”: expected e.g. 16.11.26 18:00 or 2026-11-16 18:00</translation>
    </message>
    <message>
        <source>Начало интервала должно быть раньше его конца</source>
        <translation>The start of the interval must be before its end</translation>
    </message>
    <message>
        <source>Порог должен быть числом, например 50 или -5.5</source>
        <translation>The threshold must be a number, e.g. 50 or -5.5</translation>
    </message>
    <message>
        <source>%1 — строк: %2, пропущено строк: %3</source>
        <translation>%1 — lines: %2, skipped lines: %3</translation>
    </message>
    <message>
        <source>, часы переводились назад: %1</source>
        <translation>, clock set back: %1</translation>
    </message>
    <message>
        <source>Первая пропущенная строка: %1
обрывок последней строки: %2
неверное число полей: %3
нечитаемое поле: %4
неверное время: %5</source>
        <translation>First skipped line: %1
truncated last line: %2
wrong number of fields: %3
unreadable field: %4
invalid time: %5</translation>
    </message>
    <message>
        <source>В видимом интервале времени нет строк журнала: экспортировать нечего</source>
        <translation>No log lines in the visible time interval: nothing to export</translation>
    </message>
    <message>
        <source>Ошибка записи файла %1</source>
        <translation>Error writing file %1</translation>
    </message>
    <message>
        <source>Журнал: %1</source>
        <translation>Log: %1</translation>
    </message>
    <message>
        <source>Считается…</source>
        <translation>Calculating…</translation>
    </message>
    <message>
        <source>Недостаточно памяти для статистики</source>
        <translation>Not enough memory for the statistics</translation>
    </message>
    <message>
        <source>Экспорт в CSV: %1</source>
        <translation>Exporting to CSV: %1</translation>
    </message>
    <message>
        <source>Ошибка записи файла %1: недостаточно памяти</source>
        <translation>Error writing file %1: not enough memory</translation>
    </message>
    <message>
        <source>: чтение прервано, F5 — прочитать снова</source>
        <translation>: reading interrupted, F5 to read again</translation>
    </message>
    <message>
        <source>: журнал не прочитан, F5 — прочитать снова</source>
        <translation>: log not read, F5 to read again</translation>
    </message>
</context>
<context>
    <name>kvel::MainWindow</name>
    <message>
        <source>Уведомления рабочего стола недоступны: </source>
        <translation>Desktop notifications unavailable: </translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Chan.</translation>
    </message>
    <message>
        <source>T, гр.С</source>
        <translation>T, °C</translation>
    </message>
    <message>
        <source>Управление шкафами: Ctrl+H</source>
        <translation>Cabinet control: Ctrl+H</translation>
    </message>
    <message>
        <source>Неверные значения в разделе [alarms] файла mem.ini не действуют:%1</source>
        <translation>Invalid values in section [alarms] of mem.ini are ignored:%1</translation>
    </message>
    <message>
        <source>Неверное значение в разделе [publish] файла mem.ini, публикация выключена: %1</source>
        <translation>Invalid value in section [publish] of mem.ini, publishing is off: %1</translation>
    </message>
    <message>
        <source>Публикация показаний: %1</source>
        <translation>Publishing readings: %1</translation>
    </message>
    <message>
        <source>Тревоги: </source>
        <translation>Alarms: </translation>
    </message>
    <message>
        <source>Тревоги квитированы</source>
        <translation>Alarms acknowledged</translation>
    </message>
    <message>
        <source>Тревог нет</source>
        <translation>No alarms</translation>
    </message>
    <message>
        <source>Сигнализация (Ctrl+L)</source>
        <translation>Alarms (Ctrl+L)</translation>
    </message>
    <message>
        <source>Настройки программы</source>
        <translation>Program settings</translation>
    </message>
    <message>
        <source>Настройки модуля</source>
        <translation>Module settings</translation>
    </message>
    <message>
        <source>Управление шкафами</source>
        <translation>Cabinet control</translation>
    </message>
    <message>
        <source>Канал </source>
        <translation>Channel </translation>
    </message>
    <message>
        <source>Обновлять диаграмму</source>
        <translation>Update chart</translation>
    </message>
    <message>
        <source>Реле1</source>
        <translation>Relay 1</translation>
    </message>
    <message>
        <source>Реле 2</source>
        <translation>Relay 2</translation>
    </message>
    <message>
        <source>Реле 3</source>
        <translation>Relay 3</translation>
    </message>
    <message>
        <source>Модуль на связи</source>
        <translation>Module online</translation>
    </message>
    <message>
        <source>Просмотр журнала</source>
        <translation>Log viewer</translation>
    </message>
    <message>
        <source>Просмотр журнала (Ctrl+O)</source>
        <translation>Log viewer (Ctrl+O)</translation>
    </message>
    <message>
        <source>Экспорт диаграммы</source>
        <translation>Export chart</translation>
    </message>
    <message>
        <source>Экспорт диаграммы в PNG или SVG (Ctrl+E)</source>
        <translation>Export chart to PNG or SVG (Ctrl+E)</translation>
    </message>
    <message>
        <source>Обмен с модулем (Ctrl+T)</source>
        <translation>Line traffic (Ctrl+T)</translation>
    </message>
    <message>
        <source>Управление шкафами (Ctrl+H)</source>
        <translation>Cabinet control (Ctrl+H)</translation>
    </message>
    <message>
        <source>Сигнализация</source>
        <translation>Alarms</translation>
    </message>
</context>
<context>
    <name>kvel::ModuleSettingsDialog</name>
    <message>
        <source>Настройки модуля</source>
        <translation>Module settings</translation>
    </message>
    <message>
        <source>Наименование датчиков и их коэффициенты теплоизлучения</source>
        <translation>Sensor names and their emissivity coefficients</translation>
    </message>
    <message>
        <source>Записать коэффициенты в модуль</source>
        <translation>Write coefficients to module</translation>
    </message>
    <message>
        <source>Записать настройки реле в модуль</source>
        <translation>Write relay settings to module</translation>
    </message>
    <message>
        <source>Записать параметры связи в модуль</source>
        <translation>Write link settings to module</translation>
    </message>
    <message>
        <source>Применить ко всем</source>
        <translation>Apply to all</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Наименование канала</source>
        <translation>Channel name</translation>
    </message>
    <message>
        <source>Коэффициент</source>
        <translation>Coefficient</translation>
    </message>
    <message>
        <source>Запись коэффициентов в модуль...</source>
        <translation>Writing coefficients to module...</translation>
    </message>
    <message>
        <source>Коэффициенты записаны успешно</source>
        <translation>Coefficients written</translation>
    </message>
    <message>
        <source>Запись настроек реле в модуль...</source>
        <translation>Writing relay settings to module...</translation>
    </message>
    <message>
        <source>Параметры реле записаны успешно</source>
        <translation>Relay settings written</translation>
    </message>
    <message>
        <source>Запись параметров связи в модуль...</source>
        <translation>Writing link settings to module...</translation>
    </message>
    <message>
        <source>Параметры связи записаны успешно</source>
        <translation>Link settings written</translation>
    </message>
</context>
<context>
    <name>kvel::ProgramSettingsDialog</name>
    <message>
        <source>Настройки программы</source>
        <translation>Program settings</translation>
    </message>
    <message>
        <source>Выбор каналов для диаграммы</source>
        <translation>Channels on the chart</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>Диаграмма</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Показывать все</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>Показывать всю диаграмму по оси X</source>
        <translation>Show the whole chart along X</translation>
    </message>
    <message>
        <source>Показывать окно</source>
        <translation>Show window</translation>
    </message>
    <message>
        <source>Показывать по оси X окно размером, установленным ниже</source>
        <translation>Show along X a window of the size set below</translation>
    </message>
    <message>
        <source>Размер окна</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>часов</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>минут</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Границы по оси X сдвинутся на % от размера окна при достижении графиком крайней правой границы поля диаграммы</source>
        <translation>The X range shifts by this % of the window when the curve reaches the right edge of the chart</translation>
    </message>
    <message>
        <source>Размер сдвига, %</source>
        <translation>Shift, %</translation>
    </message>
    <message>
        <source>Оси значений</source>
        <translation>Value axes</translation>
    </message>
    <message>
        <source>Масштабировать автоматически</source>
        <translation>Scale automatically</translation>
    </message>
    <message>
        <source>Масштаб по осям Y (правая и левая) устанавливается автоматически до тех пор, пока пользователь не начнет работать с диаграммой мышью</source>
        <translation>The Y axes (left and right) scale automatically until the chart is used with the mouse</translation>
    </message>
    <message>
        <source>Масштаб вручную</source>
        <translation>Manual scale</translation>
    </message>
    <message>
        <source>Масштаб по осям Y (правая и левая) устанавливается по указанным значениям до тех пор, пока пользователь не начнет работать с диаграммой мышью</source>
        <translation>The Y axes (left and right) take the values given until the chart is used with the mouse</translation>
    </message>
    <message>
        <source>Масштабы осей</source>
        <translation>Axis ranges</translation>
    </message>
    <message>
        <source>Левая, мин</source>
        <translation>Left, min</translation>
    </message>
    <message>
        <source>Левая, макс</source>
        <translation>Left, max</translation>
    </message>
    <message>
        <source>Правая, мин</source>
        <translation>Right, min</translation>
    </message>
    <message>
        <source>Правая, макс</source>
        <translation>Right, max</translation>
    </message>
    <message>
        <source>Привязка каналов</source>
        <translation>Channel axes</translation>
    </message>
    <message>
        <source>Привязка каналов к осям диаграммы - правой или левой, для смены оси выделенного канала нажмите Enter</source>
        <translation>Chart axis of each channel, left or right; press Enter to switch the selected channel&apos;s axis</translation>
    </message>
    <message>
        <source>Смена осей - Enter</source>
        <translation>Switch axis - Enter</translation>
    </message>
    <message>
        <source>Сохранение в файл</source>
        <translation>Logging to file</translation>
    </message>
    <message>
        <source>Сохранять в файл  текущие измерения</source>
        <translation>Log current readings to file</translation>
    </message>
    <message>
        <source>Данные будут сохраняться в файл с указанными именем и путем, файл текстового типа, разделители - знаки табуляции</source>
        <translation>Readings are logged to the named text file, tab-separated</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Указать имя файла через диалог сохранения файла</source>
        <translation>Choose the file name in a save dialog</translation>
    </message>
    <message>
        <source>Измерения</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>Период измерения, сек</source>
        <translation>Measurement period, s</translation>
    </message>
    <message>
        <source>Публикация показаний</source>
        <translation>Publishing readings</translation>
    </message>
    <message>
        <source>Брокер MQTT, узел:порт; пусто - не публиковать</source>
        <translation>MQTT broker, host:port; empty - do not publish</translation>
    </message>
    <message>
        <source>Брокер MQTT</source>
        <translation>MQTT broker</translation>
    </message>
    <message>
        <source>Имя в темах kvelview/ИМЯ/...; пусто - имя компьютера</source>
        <translation>Name in the topics kvelview/NAME/...; empty - the computer&apos;s name</translation>
    </message>
    <message>
        <source>Имя</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Адрес /metrics для Prometheus, узел:порт или порт; пусто - нет</source>
        <translation>/metrics address for Prometheus, host:port or port; empty - none</translation>
    </message>
    <message>
        <source>действует со следующего запуска</source>
        <translation>takes effect at the next start</translation>
    </message>
    <message>
        <source>Настройки связи компьютера</source>
        <translation>Computer link settings</translation>
    </message>
    <message>
        <source>Адрес модуля</source>
        <translation>Module address</translation>
    </message>
    <message>
        <source>Номер порта</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Скорость, кбит/с</source>
        <translation>Baud rate, kbit/s</translation>
    </message>
    <message>
        <source>Паритет</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Найти модуль…</source>
        <translation>Find module…</translation>
    </message>
    <message>
        <source>Найти модуль на линии: перебрать адреса, скорости и паритеты</source>
        <translation>Find the module on the line: try addresses, baud rates and parities</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Ось</source>
        <translation>Axis</translation>
    </message>
    <message>
        <source>Ошибка возврата в рабочий каталог %1: %2</source>
        <translation>Cannot return to the working folder %1: %2</translation>
    </message>
</context>
<context>
    <name>kvel::ScanDialog</name>
    <message>
        <source>Адрес %1, %2; осталось %3</source>
        <translation>Address %1, %2; %3 left</translation>
    </message>
    <message>
        <source>Поиск остановлен</source>
        <translation>Search stopped</translation>
    </message>
    <message>
        <source>Поиск закончен</source>
        <translation>Search finished</translation>
    </message>
    <message>
        <source>Модуль не найден</source>
        <translation>Module not found</translation>
    </message>
    <message>
        <source>Поиск модуля</source>
        <translation>Find module</translation>
    </message>
    <message>
        <source>%v из %m</source>
        <translation>%v of %m</translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Скорость, бит/с</source>
        <translation>Baud rate, bit/s</translation>
    </message>
    <message>
        <source>Паритет</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Тип</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Версия</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Ответ</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>модуль</source>
        <translation>module</translation>
    </message>
    <message>
        <source>отвечает не модуль: %1</source>
        <translation>not a module: %1</translation>
    </message>
</context>
<context>
    <name>kvel::SecondGenModuleDialog</name>
    <message>
        <source>Коэффициенты датчиков</source>
        <translation>Sensor coefficients</translation>
    </message>
    <message>
        <source>Настройки связи MB</source>
        <translation>Link settings MB</translation>
    </message>
    <message>
        <source>Настройки реле </source>
        <translation>Relay settings </translation>
    </message>
    <message>
        <source>Задержка включения реле</source>
        <translation>Relay on delay</translation>
    </message>
    <message>
        <source>Задержка отключения реле</source>
        <translation>Relay off delay</translation>
    </message>
    <message>
        <source>Порог 1 срабатывания реле</source>
        <translation>Relay threshold 1</translation>
    </message>
    <message>
        <source>Функция реле</source>
        <translation>Relay function</translation>
    </message>
    <message>
        <source>Логика реле </source>
        <translation>Relay logic </translation>
    </message>
    <message>
        <source>Задержка включения, сек</source>
        <translation>On delay, s</translation>
    </message>
    <message>
        <source>Задержка отключения, сек</source>
        <translation>Off delay, s</translation>
    </message>
    <message>
        <source>Гистерезис, Тгр.С</source>
        <translation>Hysteresis, °C</translation>
    </message>
    <message>
        <source>Порог, Тгр.С</source>
        <translation>Threshold, °C</translation>
    </message>
    <message>
        <source>Привязка датчиков к реле</source>
        <translation>Sensors on the relay</translation>
    </message>
</context>
<context>
    <name>kvel::TrafficWindow</name>
    <message>
        <source>Обмен с модулем</source>
        <translation>Line traffic</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Сохранить...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>Ошибка записи файла %1: %2</source>
        <translation>Error writing file %1: %2</translation>
    </message>
    <message>
        <source>Сохранить обмен</source>
        <translation>Save traffic</translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt);;Все файлы (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
</context>
</TS>
