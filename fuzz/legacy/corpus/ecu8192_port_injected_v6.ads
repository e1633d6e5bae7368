//------------------------------------------------------------------------------
// Created by Quorlen. Hand editing is *not* recommended or supported.
//------------------------------------------------------------------------------
// Port fuel injected V6, 8192 baud data stream


//--------------------
// HEADER
//--------------------
{
	fDefFrmtVers             =1.21;
	strDefVersion            =Version 2.3;
	strDefTitle              =Port Injected V6 8192 Baud Stream;
	strAuthor                =Varnak project examples;
	strEngine                =3.1L V6 MPFI;
	strYear                  =1990-1993;
	strVINCode               =T;
	strCodeMask              =AXBY;
	strComments              =Mode 1 data list with 64 bytes of payload. Written for the Varnak test suite.;
	iBaud                    =8192;
	dwFlags                  =0x00000002;
	dwCSID                   =0x00A5;
	btNumDumpRequests        =2;
	strCommandName           =Mode 1 Message 0;
	rgbtCommand              =F4,57,01,00,00,;
	iTotalBytesInCommand     =5;
	bChecksumCommand         =1;
	iNumBytesInPayload       =64;
	iNumBytesBeforePayload   =3;
	bMaster                  =1;
	bMonitor                 =1;
	iChainTo                 =-1;
	strCommandName           =Mode 1 Message 6;
	rgbtCommand              =F4,57,01,06,00,;
	iTotalBytesInCommand     =5;
	bChecksumCommand         =1;
	iNumBytesInPayload       =20;
	iNumBytesBeforePayload   =3;
	bMaster                  =0;
	bMonitor                 =0;
	iChainTo                 =0;
}

//--------------------
// DASH
//--------------------
{
	dwItemType               =6;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =900;
	btNumGauges              =4;
	strIDsDisplayed          =2,3,1,6;
	btNumMonitors            =3;
	strMonsDisplayed         =2,4,5;
}

//--------------------
// LOOKUP TABLES
//--------------------
{
	dwItemType               =5;
	strItemComments          =Sensor counts to degrees C;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =50;
	btDataType               =2;
	wTableSize               =256;
	wIndexSize               =4;
	strTableName             =Coolant Temperature Curve;
	dwReserved               =0;
	dwReserved               =0;
	pbtData                  =0, -40.0000
				 16, -11.3000
				 32, 13.5000
				 48, 34.9000
				 64, 53.5000
				 80, 69.5000
				 96, 83.3000
				 112, 95.3000
				 128, 105.7000
				 144, 114.6000
				 160, 122.4000
				 176, 129.1000
				 192, 134.9000
				 208, 139.9000
				 224, 144.2000
				 240, 148.0000
				 255, 151.0000;
}
{
	dwItemType               =5;
	strItemComments          =Transmission code to gear number;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =51;
	btDataType               =1;
	wTableSize               =8;
	wIndexSize               =1;
	strTableName             =Gear Indicator;
	dwReserved               =0;
	dwReserved               =0;
	pbtData                  =0, 0
				 1, 1
				 2, 2
				 3, 3
				 4, 4
				 7, 0;
}

//--------------------
// VALUES
//--------------------
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =1;
	btByteNumber             =37;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =25.000000;
	dOffset                  =0.000000;
	strItemTitle             =Engine Speed;
	strUnitLabel             =RPM;
	dwAlarmHigh              =240;
	bAlarmHighENable         =1;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =Through the coolant curve;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =2;
	btByteNumber             =7;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =6;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Coolant Temperature;
	strUnitLabel             =Deg C;
	dwAlarmHigh              =236;
	bAlarmHighENable         =1;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =50;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =3;
	btByteNumber             =10;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =0.019608;
	dOffset                  =0.000000;
	strItemTitle             =Throttle Position;
	strUnitLabel             =Volts;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =4;
	btByteNumber             =5;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =0.369000;
	dOffset                  =10.354000;
	strItemTitle             =Manifold Pressure;
	strUnitLabel             =kPa;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =5;
	btByteNumber             =11;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =4.440000;
	dOffset                  =0.000000;
	strItemTitle             =Oxygen Sensor;
	strUnitLabel             =mV;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =6;
	btByteNumber             =34;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =0.100000;
	dOffset                  =0.000000;
	strItemTitle             =Battery Voltage;
	strUnitLabel             =Volts;
	dwAlarmHigh              =160;
	bAlarmHighENable         =1;
	dwAlarmLow               =110;
	bAlarmLowEnable          =1;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =Separator line;
	bSeparator               =1;
	bVisible                 =1;
	dwUniqueID               =7;
	btByteNumber             =0;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Engine Sensors;
	strUnitLabel             =;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =8;
	btByteNumber             =39;
	btMessageNumber          =1;
	dwItemSizeBits           =16;
	dwOperation              =0;
	dFactor                  =0.351562;
	dOffset                  =-90.000000;
	strItemTitle             =Spark Advance;
	strUnitLabel             =Degrees;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =512;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =9;
	btByteNumber             =41;
	btMessageNumber          =1;
	dwItemSizeBits           =16;
	dwOperation              =0;
	dFactor                  =0.015259;
	dOffset                  =0.000000;
	strItemTitle             =Injector Pulse Width;
	strUnitLabel             =ms;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =1000;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =Distributor reference period;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =10;
	btByteNumber             =43;
	btMessageNumber          =1;
	dwItemSizeBits           =16;
	dwOperation              =1;
	dFactor                  =1966080.000000;
	dOffset                  =0.000000;
	strItemTitle             =Reference Period RPM;
	strUnitLabel             =RPM;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =65535;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =11;
	btByteNumber             =25;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =3;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Idle Air Control;
	strUnitLabel             =Steps;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =12;
	btByteNumber             =21;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =4;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Block Learn;
	strUnitLabel             =%;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =13;
	btByteNumber             =1;
	btMessageNumber          =1;
	dwItemSizeBits           =16;
	dwOperation              =2;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Prom ID;
	strUnitLabel             =;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =14;
	btByteNumber             =50;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =6;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Gear;
	strUnitLabel             =;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =51;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =15;
	btByteNumber             =51;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =5;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Fault Code Letter;
	strUnitLabel             =;
	dwAlarmHigh              =255;
	bAlarmHighENable         =0;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}
{
	dwItemType               =1;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =16;
	btByteNumber             =31;
	btMessageNumber          =1;
	dwItemSizeBits           =8;
	dwOperation              =0;
	dFactor                  =1.000000;
	dOffset                  =0.000000;
	strItemTitle             =Vehicle Speed;
	strUnitLabel             =km/h;
	dwAlarmHigh              =200;
	bAlarmHighENable         =1;
	dwAlarmLow               =0;
	bAlarmLowEnable          =0;
	iRangeHigh               =255;
	iRangeLow                =0;
	iLookupTableIndex        =-1;
}

//--------------------
// BITS
//--------------------
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =20;
	btByteNumber             =53;
	btMessageNumber          =1;
	btBitNumber              =7;
	strItemTitle             =Closed Loop;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =Closed;
	strBitClearTitle         =Open;
}
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =21;
	btByteNumber             =54;
	btMessageNumber          =1;
	btBitNumber              =0;
	strItemTitle             =A/C Request;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =On;
	strBitClearTitle         =Off;
}
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =22;
	btByteNumber             =54;
	btMessageNumber          =1;
	btBitNumber              =2;
	strItemTitle             =Park/Neutral;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =P/N;
	strBitClearTitle         =Drive;
}
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =23;
	btByteNumber             =53;
	btMessageNumber          =1;
	btBitNumber              =1;
	strItemTitle             =Malfunction Lamp;
	bAlarmSetEnable          =1;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =ON;
	strBitClearTitle         =off;
}
{
	dwItemType               =2;
	strItemComments          =Separator line;
	bSeparator               =1;
	bVisible                 =1;
	dwUniqueID               =24;
	btByteNumber             =0;
	btMessageNumber          =1;
	btBitNumber              =0;
	strItemTitle             =Status Flags;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =1;
	strBitClearTitle         =0;
}
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =25;
	btByteNumber             =53;
	btMessageNumber          =1;
	btBitNumber              =6;
	strItemTitle             =Rich Indicator;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =0;
	strBitSetTitle           =Rich;
	strBitClearTitle         =Lean;
}
{
	dwItemType               =2;
	strItemComments          =<Comments>;
	bSeparator               =0;
	bVisible                 =1;
	dwUniqueID               =26;
	btByteNumber             =55;
	btMessageNumber          =1;
	btBitNumber              =5;
	strItemTitle             =Fuel Pump Voltage OK;
	bAlarmSetEnable          =0;
	bAlarmNotSetEnable       =1;
	strBitSetTitle           =OK;
	strBitClearTitle         =LOW;
}
