<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>AlarmWindow</name>
    <message>
        <source>Сигнализация</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревоги</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Уставки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вид</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Предел</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Состояние</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Квитировать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Квитировать все</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нижний предел, гр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верхний предел, гр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревога при отсутствии показаний канала</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревога при потере связи с модулем</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Уведомления рабочего стола</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Применить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Гистерезис, гр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Задержка, с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Журнал сигнализации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CabinetWindow</name>
    <message>
        <source>Управление шкафами через хост-контроллер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Управление</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сигналы на хост</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Текущий шкаф</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шкаф на связи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Контроллер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Хост</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Мнемо</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тестовый цикл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Включить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отключить</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FirstGenModuleDialog</name>
    <message>
        <source>Настройки датчиков</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки связи модуля</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка включения реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка отключения реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог 1, Тгр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог 2, Тгр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Гистерезис, Тгр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка включения, сек</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка отключения, сек</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Функция реле </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Привязка датчиков к реле связи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Привязка датчиков к реле порога</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сигнализация о превышении порога будет учитывать только отмеченные датчики</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Для режима датчик-реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог Датчик-Реле </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, Тгр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Температурные пороги,  гр. С</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LogStatsDialog</name>
    <message>
        <source>Статистика между маркерами</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Порог, °C:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Копировать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LogViewerWindow</name>
    <message>
        <source>Просмотр журнала</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть журнал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт диаграммы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт в CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть папку журналов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Статистика между маркерами</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y(лев)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y(прав)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Маркеры</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>дд.мм.гг чч:мм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Дата и время: 16.11.26 18:00, 16.11.2026 18:00:05 или 2026-11-16 18:00</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> &amp;С </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> &amp;По </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показать интервал (Enter в поле времени)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Чтение журнала: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>недостаточно памяти, чтобы показать журнал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось открыть журнал </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (чтение прервано)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Просмотр журнала — </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неверное время «</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>»: нужно, например, 16.11.26 18:00 или 2026-11-16 18:00</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Начало интервала должно быть раньше его конца</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог должен быть числом, например 50 или -5.5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 — строк: %2, пропущено строк: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, часы переводились назад: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Первая пропущенная строка: %1
обрывок последней строки: %2
неверное число полей: %3
нечитаемое поле: %4
неверное время: %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В видимом интервале времени нет строк журнала: экспортировать нечего</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка записи файла </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Уведомления рабочего стола недоступны: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T, гр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Управление шкафами: Ctrl+H</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неверные значения в разделе [alarms] файла mem.ini не действуют:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неверное значение в разделе [publish] файла mem.ini, публикация выключена: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Публикация показаний: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревоги: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревоги квитированы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тревог нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сигнализация (Ctrl+L)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y(лев)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y(прав)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки программы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки модуля</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Управление шкафами</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Маркеры</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обновлять диаграмму</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Реле1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Реле 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Реле 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Модуль на связи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Просмотр журнала</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Просмотр журнала (Ctrl+O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт диаграммы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт диаграммы в PNG или SVG (Ctrl+E)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обмен с модулем (Ctrl+T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Управление шкафами (Ctrl+H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сигнализация</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModuleSettingsDialog</name>
    <message>
        <source>Настройки модуля</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Наименование датчиков и их коэффициенты теплоизлучения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать коэффициенты в модуль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать настройки реле в модуль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать параметры связи в модуль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Применить ко всем</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Наименование канала</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Коэффициент</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись коэффициентов в модуль...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Коэффициенты записаны успешно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись настроек реле в модуль...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Параметры реле записаны успешно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись параметров связи в модуль...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Параметры связи записаны успешно</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramSettingsDialog</name>
    <message>
        <source>Настройки программы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выбор каналов для диаграммы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ОК</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диаграмма</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показывать все</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показывать всю диаграмму по оси X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показывать окно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Показывать по оси X окно размером, установленным ниже</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Размер окна</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>часов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>минут</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Границы по оси X сдвинутся на % от размера окна при достижении графиком крайней правой границы поля диаграммы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Размер сдвига, %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Оси значений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Масштабировать автоматически</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Масштаб по осям Y (правая и левая) устанавливается автоматически до тех пор, пока пользователь не начнет работать с диаграммой мышью</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Масштаб вручную</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Масштаб по осям Y (правая и левая) устанавливается по указанным значениям до тех пор, пока пользователь не начнет работать с диаграммой мышью</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Масштабы осей</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Левая, мин</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Левая, макс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Правая, мин</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Правая, макс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Привязка каналов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Привязка каналов к осям диаграммы - правой или левой, для смены оси выделенного канала нажмите Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Смена осей - Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранение в файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранять в файл  текущие измерения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные будут сохраняться в файл с указанными именем и путем, файл текстового типа, разделители - знаки табуляции</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Указать имя файла через диалог сохранения файла</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измерения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Период измерения, сек</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Публикация показаний</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брокер MQTT, узел:порт; пусто - не публиковать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брокер MQTT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя в темах kvelview/ИМЯ/...; пусто - имя компьютера</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес /metrics для Prometheus, узел:порт или порт; пусто - нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки связи компьютера</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес модуля</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер порта</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Скорость, кбит/с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Паритет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Найти модуль…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Найти модуль на линии: перебрать адреса, скорости и паритеты</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ось</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка возврата в рабочий каталог </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScanDialog</name>
    <message>
        <source>Поиск модуля</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%v из %m</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Скорость, бит/с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Паритет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тип</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Версия</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ответ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Применить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>модуль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>отвечает не модуль: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SecondGenModuleDialog</name>
    <message>
        <source>Коэффициенты датчиков</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки связи MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки реле </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка включения реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка отключения реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог 1 срабатывания реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Функция реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Логика реле </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка включения, сек</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задержка отключения, сек</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Гистерезис, Тгр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог, Тгр.С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Привязка датчиков к реле</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrafficWindow</name>
    <message>
        <source>Обмен с модулем</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка записи файла </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить обмен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt);;Все файлы (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvel</name>
    <message>
        <source>Включить выключатель</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отключить выключатель</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вкатить ВЭ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выкатить ВЭ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Включить ЗР</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отключить ЗР</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 и ещё %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; осталось </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Поиск остановлен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Поиск закончен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Модуль не найден</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обмен с модулем</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
